#include "app/SplashWindow.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/Pictures.h"

#include <QRegion>

#include <algorithm>

namespace kw {

TForm5* Form5 = nullptr;
int SplashTickCount = 0;

namespace {
constexpr int ClientWidth = 465;
constexpr int ClientHeight = 122;
constexpr int CornerEllipse = 25;

// How many pixels of row `row` (counted from the nearer top or bottom edge)
// a corner ellipse of the given size cuts away. A pixel stays when its centre
// lies inside the ellipse, which is the outline the system's round-rectangle
// region has; exact in integers.
int CornerInset(int row, int ellipseWidth, int ellipseHeight)
{
    const long long w = ellipseWidth;
    const long long h = ellipseHeight;
    const long long dy = 2LL * row + 1 - h;
    for (int x = 0; 2 * x < ellipseWidth; ++x) {
        const long long dx = 2LL * x + 1 - w;
        if (dx * dx * h * h + dy * dy * w * w <= w * w * h * h)
            return x;
    }
    return ellipseWidth / 2;
}

// The rounded rectangle, built row by row as the system's region is.
QRegion RoundRectRegion(int width, int height, int ellipseWidth, int ellipseHeight)
{
    ellipseWidth = std::min(ellipseWidth, width);
    ellipseHeight = std::min(ellipseHeight, height);
    const int cornerRows = ellipseHeight / 2;
    QRegion region(0, cornerRows, width, height - 2 * cornerRows);
    for (int row = 0; row < cornerRows; ++row) {
        const int inset = CornerInset(row, ellipseWidth, ellipseHeight);
        region += QRect(inset, row, width - 2 * inset, 1);
        region += QRect(inset, height - 1 - row, width - 2 * inset, 1);
    }
    return region;
}
} // namespace

TLabel* VersionLabel(QWidget* parent, QPoint place)
{
    auto* label = new TLabel(parent, QStringLiteral("ver: 0.01a [ build 18.09.2007 ]"));
    label->setFont(VclFont(MsSansSerif));
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, QColor(255, 255, 0));
    label->setPalette(colours);
    // The banner shows between the letters.
    label->setAutoFillBackground(false);
    label->move(place);
    label->adjustSize();
    return label;
}

TForm5::TForm5() : TForm(Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Form5"));
    setFont(VclFont(MsSansSerif));
    setAutoFillBackground(true);
    setFixedSize(ClientWidth, ClientHeight);

    Image1 = new TImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 465, 121);
    // Unscaled from its top-left corner: the banner's three rightmost columns fall outside.
    Image1->SetPicture(Picture("banner"), false);

    Label1 = VersionLabel(this, QPoint(48, 80));
    Label1->setObjectName(QStringLiteral("Label1"));

    Timer1 = new TTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    ConnectHandler(Timer1, &QTimer::timeout, this, &TForm5::Timer1Timer);

    SetCreateHandler(&TForm5::FormCreate);
}

void TForm5::FormCreate(TObject*)
{
    SplashTickCount = 1;
    setMask(RoundRectRegion(width(), height(), CornerEllipse, CornerEllipse));
    Timer1->start();
}

void TForm5::Timer1Timer(TObject*)
{
    ++SplashTickCount;
    if (SplashTickCount == 3) {
        Timer1->stop();
        Close();
    }
}

} // namespace kw
