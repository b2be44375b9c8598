#include "platform/afx/input_panel.h"

#include <QApplication>
#include <QInputMethod>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/afx/input_panel_p.h"
#include "platform/afx/ui_thread_p.h"
#include "platform/afx/window_table_p.h"
#include "platform/win/keyboard.h"
#include "platform/win/trace.h"

namespace afx_detail {

namespace {

bool g_chosen = false;  // AfxPrepareInputPanel chose Qt Virtual Keyboard

constexpr char kPanelQml[] = "import QtQuick\nimport QtQuick.VirtualKeyboard\nInputPanel {}\n";

bool IsTextBox(const QWidget* widget) {
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) {
        return !edit->isReadOnly();
    }
    const auto* line = qobject_cast<const QLineEdit*>(widget);
    return line && !line->isReadOnly();
}

// The keyboard, one at a time, in the window of the box it types into.
class InputPanel : public QObject {
    Q_OBJECT

public:
    InputPanel();

protected:
    bool eventFilter(QObject* target, QEvent* event) override;

private slots:
    void OnActiveChanged();

private:
    static bool Wanted(const QWidget* focus);
    void Show(QWidget* box);
    void Hide();
    QQuickWidget* PanelIn(QWidget* window);
    void Place();
    void MoveContents(int offset);

    struct Moved {
        QPointer<QWidget> widget;
        QPoint home;
    };

    QPointer<QQuickWidget> m_panel;
    QPointer<QWidget> m_box;
    std::vector<Moved> m_moved;  // the window's contents, moved up by m_offset
    int m_offset = 0;
    bool m_failed = false;  // the keyboard could not be loaded: no more tries
};

InputPanel* g_panel = nullptr;

InputPanel::InputPanel() : QObject(qApp) {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (Wanted(now)) {
            Show(now);
        } else {
            Hide();
        }
    });
}

bool InputPanel::Wanted(const QWidget* focus) {
    return focus && IsTextBox(focus) && FindEnclosing(focus) &&
           !(GetKeyboardStatus() & KBDI_KEYBOARD_ALPHA_NUM);
}

void InputPanel::Show(QWidget* box) {
    QQuickWidget* panel = PanelIn(box->window());
    if (!panel) {
        return;
    }
    m_box = box;
    panel->show();
    Place();
    QGuiApplication::inputMethod()->show();
}

void InputPanel::Hide() {
    if (m_panel && !m_panel->isHidden()) {
        m_panel->hide();
        MoveContents(0);
    }
    m_box = nullptr;
}

// The keyboard's own state: its hide key, or a tap on the box that has the focus.
void InputPanel::OnActiveChanged() {
    if (!m_panel || !m_panel->rootObject()->property("active").toBool()) {
        Hide();
    } else if (!m_box && Wanted(QApplication::focusWidget())) {
        Show(QApplication::focusWidget());
    }
}

QQuickWidget* InputPanel::PanelIn(QWidget* window) {
    if (m_panel && m_panel->parentWidget() == window) {
        return m_panel;
    }
    if (m_failed) {
        return nullptr;
    }
    Hide();
    delete m_panel;  // it was in another window
    // Drawn by the CPU: a terminal need not have a GPU, nor the offscreen platform.
    if (QQuickWindow::sceneGraphBackend() != u"software") {
        QQuickWindow::setSceneGraphBackend(QStringLiteral("software"));
    }
    auto* panel = new QQuickWidget(window);
    panel->setFocusPolicy(Qt::NoFocus);  // its keys must leave the focus in the box
    panel->setResizeMode(QQuickWidget::SizeRootObjectToView);
    // At about its size from the start: made at a default size and widened later, some of
    // its keys kept no width (Qt 6.4).
    panel->resize(window->width(), window->height() / 3);
    auto* component = new QQmlComponent(panel->engine(), panel);
    component->setData(kPanelQml, QUrl());
    QObject* root = component->create();
    if (!root) {
        RV_TRACE(TraceChannel::Ui, "on-screen keyboard: cannot load it: %s",
                 qPrintable(component->errorString()));
        delete panel;
        m_failed = true;
        return nullptr;
    }
    panel->setContent(QUrl(), component, root);
    panel->hide();
    connect(root, SIGNAL(activeChanged()), this, SLOT(OnActiveChanged()));
    connect(panel->rootObject(), &QQuickItem::implicitHeightChanged, this, &InputPanel::Place);
    window->installEventFilter(this);
    m_panel = panel;
    return panel;
}

// Along the window's bottom edge, as high as the keyboard is for the window's width; the
// contents move up as far as the box needs, never so far that its top leaves the window.
void InputPanel::Place() {
    if (!m_panel || m_panel->isHidden() || !m_box) {
        return;
    }
    QWidget* window = m_panel->parentWidget();
    m_panel->resize(window->width(), m_panel->height());
    const int height = static_cast<int>(m_panel->rootObject()->implicitHeight());
    const int top = window->height() - height;
    m_panel->setGeometry(0, top, window->width(), height);
    m_panel->raise();
    const int boxTop = m_box->mapTo(window, QPoint(0, 0)).y() + m_offset;
    const int below = boxTop + m_box->height() - top;
    MoveContents(std::clamp(below, 0, std::max(0, boxTop)));
}

void InputPanel::MoveContents(int offset) {
    if (offset == m_offset) {
        return;
    }
    // Put back what is still where it was moved to (a layout may have placed it anew).
    for (const Moved& m : m_moved) {
        if (m.widget && m.widget->pos() == m.home - QPoint(0, m_offset)) {
            m.widget->move(m.home);
        }
    }
    m_moved.clear();
    m_offset = offset;
    if (offset == 0) {
        return;
    }
    QWidget* window = m_panel->parentWidget();
    for (QObject* child : window->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget != m_panel && !widget->isWindow()) {
            m_moved.push_back({widget, widget->pos()});
            widget->move(widget->pos() - QPoint(0, offset));
        }
    }
}

bool InputPanel::eventFilter(QObject* target, QEvent* event) {
    if (event->type() == QEvent::Resize && m_panel && target == m_panel->parentWidget()) {
        // After the window has laid itself out for its new size.
        PostToUi([self = QPointer<InputPanel>(this)] {
            if (self) {
                self->MoveContents(0);
                self->Place();
            }
        });
    }
    return false;
}

}  // namespace

void InstallInputPanel() {
    if (g_chosen && !g_panel) {
        g_panel = new InputPanel;
    }
}

void RemoveInputPanel() {
    delete g_panel;
    g_panel = nullptr;
}

void AskForDigits(HWND edit) {
    OnWidget(edit, false, [](QWidget& widget) {
        widget.setInputMethodHints(widget.inputMethodHints() | Qt::ImhDigitsOnly);
        if (widget.hasFocus()) {
            QGuiApplication::inputMethod()->update(Qt::ImHints);
        }
        return true;
    });
}

}  // namespace afx_detail

void AfxPrepareInputPanel() {
    const QByteArray method = qgetenv("QT_IM_MODULE");
    const std::filesystem::path plugin =
        QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() +
        "/platforminputcontexts/libqtvirtualkeyboardplugin.so";
    const char* no = nullptr;
    if (!method.isEmpty() && method != "qtvirtualkeyboard") {
        no = "QT_IM_MODULE names another input method";
    } else if (!qEnvironmentVariableIsSet("RV4417_KEYBOARD") &&
               qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        no = "nobody types on the offscreen platform";
    } else if (GetKeyboardStatus() & KBDI_KEYBOARD_ALPHA_NUM) {
        no = "there is a keyboard";
    } else if (!std::filesystem::exists(plugin)) {
        no = "Qt Virtual Keyboard is not installed";
    }
    if (no) {
        RV_TRACE(TraceChannel::Ui, "on-screen keyboard: off (%s)", no);
        return;
    }
    qputenv("QT_IM_MODULE", "qtvirtualkeyboard");
    qputenv("QT_VIRTUALKEYBOARD_DESKTOP_DISABLE", "1");  // in our windows, not one of its own
    afx_detail::g_chosen = true;
    RV_TRACE(TraceChannel::Ui, "on-screen keyboard: on (no keyboard to type with)");
}

#include "input_panel.moc"
