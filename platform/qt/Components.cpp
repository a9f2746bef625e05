#include "platform/qt/Components.h"

#include "platform/qt/Text.h"

#include <QBitmap>
#include <QContextMenuEvent>
#include <QPainter>
#include <QScrollBar>

namespace kw {

QPixmap WithTransparentCorner(const QPixmap& picture)
{
    if (picture.isNull())
        return picture;
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFFu) == (key & 0xFFFFFFu))
                line[x] = 0;
        }
    }
    return QPixmap::fromImage(image);
}

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoRaise(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void TSpeedButton::SetGlyph(const QPixmap& picture)
{
    const QPixmap glyph = WithTransparentCorner(picture);
    setIcon(QIcon(glyph));
    setIconSize(glyph.size());
}

void TSpeedButton::SetCaption(const QString& caption)
{
    setText(caption);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

TToolButton::TToolButton(QWidget* parent, int width) : QWidget(parent)
{
    setFixedWidth(width);
    setFocusPolicy(Qt::NoFocus);
}

TToolBar::TToolBar(QWidget* parent, int height, int buttonHeight)
    : QFrame(parent), buttonHeight_(buttonHeight)
{
    setFixedHeight(height);
    setFocusPolicy(Qt::NoFocus);
}

void TToolBar::AddItem(QWidget* item, int width)
{
    item->setGeometry(nextX_, 2, width, buttonHeight_);
    nextX_ += width;
}

void TToolBar::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    // An etched line along the top edge, as a tool bar with a top border draws it.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 1, width() - 1, 1);
}

TImage::TImage(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

void TImage::SetPicture(const QPixmap& picture, bool transparent)
{
    setPixmap(transparent ? WithTransparentCorner(picture) : picture);
}

void TImage::contextMenuEvent(QContextMenuEvent* event)
{
    if (popupMenu_ && event->reason() == QContextMenuEvent::Mouse)
        popupMenu_->popup(event->globalPos());
    event->accept();
}

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
}

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
}

void TMemo::AppendLine(const std::string& line)
{
    appendPlainText(ToQString(line));
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

QStringList TMemo::Lines() const
{
    if (document()->isEmpty())
        return {};
    return toPlainText().split(QLatin1Char('\n'));
}

TBevel::TBevel(QWidget* parent, bool lowered) : QFrame(parent)
{
    setFrameStyle(QFrame::Box | (lowered ? QFrame::Sunken : QFrame::Raised));
    setLineWidth(1);
    setMidLineWidth(0);
}

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(true);
}

TLabel::TLabel(QWidget* parent, const QString& caption) : QLabel(caption, parent) {}

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

void TEdit::SetText(const std::string& ansi)
{
    setText(ToQString(ansi));
    // What the edit holds, not what it was given: the test in Text() must
    // not depend on how the edit stores its text.
    bytes_ = ansi;
    shown_ = text();
}

std::string TEdit::Text() const
{
    const QString current = text();
    return current == shown_ ? bytes_ : ToAnsi(current);
}

} // namespace kw
