#include "platform/afx/caption_row_p.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace afx_detail {

namespace {

// Twice the text's height: about the terminal's caption, and a button a finger can hit.
int Padding(const QFont& font) {
    return QFontMetrics(font).height() / 2;
}

}  // namespace

CaptionRow::CaptionRow(QWidget* dialog, const QString& title, bool okButton)
    : QWidget(dialog), m_title(new QLabel(title, this)), m_button(new QPushButton(this)) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Highlight);
    m_title->setForegroundRole(QPalette::HighlightedText);
    m_title->setTextFormat(Qt::PlainText);
    m_button->setText(okButton ? QStringLiteral("OK") : QStringLiteral("\u2715"));
    m_button->setAccessibleName(okButton ? QStringLiteral("OK") : QStringLiteral("Close"));
    m_button->setFocusPolicy(Qt::NoFocus);  // as a caption's button: the pages keep the focus
    m_button->setAutoDefault(false);
    connect(m_button, &QPushButton::clicked, dialog, &QWidget::close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_title, 1);
    layout->addWidget(m_button);
}

int CaptionRow::HeightFor(const QFont& font) {
    return QFontMetrics(font).height() + 2 * Padding(font);
}

void CaptionRow::Fit(const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    m_title->setFont(bold);
    m_button->setFont(font);
    const int padding = Padding(font);
    const int height = HeightFor(font);
    layout()->setContentsMargins(padding, padding / 4, padding / 4, padding / 4);
    m_button->setFixedSize(QFontMetrics(font).horizontalAdvance(m_button->text()) + 3 * padding,
                           height - padding / 2);
    setGeometry(0, 0, parentWidget()->width(), height);
}

}  // namespace afx_detail
