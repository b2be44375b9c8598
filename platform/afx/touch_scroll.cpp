#include "platform/afx/touch_scroll_p.h"

#include <QMouseEvent>
#include <QPointingDevice>
#include <QScrollBar>
#include <QScroller>
#include <QScrollerProperties>

#include <cmath>
#include <utility>

namespace afx_detail {

namespace {

class TouchScrolling : public QObject {
public:
    TouchScrolling(QAbstractScrollArea* box, std::function<qreal()> lineHeight)
        : QObject(box), m_box(box), m_lineHeight(std::move(lineHeight)) {}

protected:
    bool eventFilter(QObject* target, QEvent* event) override;

private:
    void Prepare(QScrollPrepareEvent* event);
    void Scroll(const QScrollEvent* event);

    QAbstractScrollArea* m_box;
    std::function<qreal()> m_lineHeight;
    qreal m_step = 1;  // pixels per step of the vertical bar, for the current drag
};

bool FromTouchScreen(const QMouseEvent* event) {
    const QPointingDevice* device = event->pointingDevice();
    return device && device->type() == QInputDevice::DeviceType::TouchScreen;
}

// A finger reaches the box as the mouse events Qt makes of a touch the box leaves alone:
// they drive the scroller. The press and the release go on to the box (a tap places the
// caret and gives the focus); a move only scrolls, it must not select.
bool TouchScrolling::eventFilter(QObject* target, QEvent* event) {
    switch (event->type()) {
        case QEvent::ScrollPrepare:
            Prepare(static_cast<QScrollPrepareEvent*>(event));
            return true;
        case QEvent::Scroll:
            Scroll(static_cast<QScrollEvent*>(event));
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (target != m_box->viewport() || !FromTouchScreen(mouse)) {
                return false;
            }
            const QScroller::Input input =
                event->type() == QEvent::MouseButtonPress ? QScroller::InputPress
                : event->type() == QEvent::MouseMove      ? QScroller::InputMove
                                                          : QScroller::InputRelease;
            QScroller::scroller(m_box)->handleInput(input, mouse->position(), mouse->timestamp());
            return input == QScroller::InputMove;
        }
        default:
            return false;
    }
}

void TouchScrolling::Prepare(QScrollPrepareEvent* event) {
    m_step = std::max<qreal>(1, m_lineHeight());
    const QScrollBar* h = m_box->horizontalScrollBar();
    const QScrollBar* v = m_box->verticalScrollBar();
    event->setViewportSize(m_box->viewport()->size());
    event->setContentPosRange(QRectF(0, 0, h->maximum(), v->maximum() * m_step));
    event->setContentPos(QPointF(h->value(), v->value() * m_step));
    event->accept();
}

void TouchScrolling::Scroll(const QScrollEvent* event) {
    const QPointF pos = event->contentPos();
    m_box->horizontalScrollBar()->setValue(static_cast<int>(std::lround(pos.x())));
    m_box->verticalScrollBar()->setValue(static_cast<int>(std::lround(pos.y() / m_step)));
}

}  // namespace

void EnableTouchScrolling(QAbstractScrollArea* box, std::function<qreal()> lineHeight) {
    auto* filter = new TouchScrolling(box, std::move(lineHeight));
    box->installEventFilter(filter);
    box->viewport()->installEventFilter(filter);
    // The bars count whole lines: the text cannot be pulled past its ends.
    QScrollerProperties properties = QScroller::scroller(box)->scrollerProperties();
    properties.setScrollMetric(QScrollerProperties::OvershootDragDistanceFactor, 0);
    properties.setScrollMetric(QScrollerProperties::OvershootScrollDistanceFactor, 0);
    QScroller::scroller(box)->setScrollerProperties(properties);
}

}  // namespace afx_detail
