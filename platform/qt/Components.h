#pragma once
// The components the windows are built from, as thin Qt widgets that keep
// the behaviour the windows rely on (no focus for speed buttons, pick-only
// lists, a read-only memo that scrolls to its newest line, ...).

#include "platform/qt/Dispatch.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <string>

namespace kw {

// A flat push button showing one picture; it never takes the keyboard focus.
// The picture's bottom-left pixel colour is drawn transparent.
class TSpeedButton : public QToolButton {
public:
    explicit TSpeedButton(QWidget* parent);
    void SetGlyph(const QPixmap& picture);
    void SetCaption(const QString& caption);
};

// A tool-bar item in separator style: a blank gap.
class TToolButton : public QWidget {
public:
    TToolButton(QWidget* parent, int width);
};

// Lays out its items left to right from x 0, each 2 pixels below its top
// edge, and draws a border line along that edge.
class TToolBar : public QFrame {
public:
    TToolBar(QWidget* parent, int height, int buttonHeight);
    void AddItem(QWidget* item, int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int buttonHeight_;
    int nextX_ = 0;
};

// A picture drawn unscaled from its top-left corner. A right click opens its
// pop-up menu at the mouse position; a left click does nothing.
class TImage : public QLabel {
public:
    explicit TImage(QWidget* parent);
    void SetPicture(const QPixmap& picture, bool transparent);
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QMenu* popupMenu_ = nullptr;
};

using TPopupMenu = QMenu;
using TMenuItem = QAction;

// A pick-only drop-down list.
class TComboBox : public QComboBox {
public:
    explicit TComboBox(QWidget* parent);
    int ItemIndex() const { return currentIndex(); }
};

// A multi-line text area; the log panel uses it read-only.
class TMemo : public QPlainTextEdit {
public:
    explicit TMemo(QWidget* parent);
    // The text becomes the new last line, scrolled into view.
    void AppendLine(const std::string& line);
    QStringList Lines() const;
};

// A lowered or raised box frame.
class TBevel : public QFrame {
public:
    explicit TBevel(QWidget* parent, bool lowered = true);
};

class TStatusBar : public QStatusBar {
public:
    explicit TStatusBar(QWidget* parent);
};

class TLabel : public QLabel {
public:
    TLabel(QWidget* parent, const QString& caption);
};

// A one-line edit whose text is a byte string in the ANSI code page. Bytes
// that do not decode (a setting written by another program, say) are shown
// with replacement characters, but come back unchanged from Text() as long
// as the user leaves the text as it was shown.
class TEdit : public QLineEdit {
public:
    explicit TEdit(QWidget* parent);
    void SetText(const std::string& ansi);
    std::string Text() const;

private:
    std::string bytes_;
    QString shown_;
};

using TCheckBox = QCheckBox;
using TPageControl = QTabWidget;
using TTabSheet = QWidget;
using TGroupBox = QGroupBox;
using TBitBtn = QPushButton;
using TTimer = QTimer;

// Draws the colour of a picture's bottom-left pixel transparent, as the
// component library does for button glyphs and transparent pictures.
QPixmap WithTransparentCorner(const QPixmap& picture);

} // namespace kw
