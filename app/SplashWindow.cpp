#include "app/SplashWindow.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/Pictures.h"

#include <QPainterPath>
#include <QRegion>

namespace kw {

TForm5* Form5 = nullptr;
int SplashTickCount = 0;

namespace {
constexpr int ClientWidth = 465;
constexpr int ClientHeight = 122;
constexpr int CornerEllipse = 25;

// The region a rounded rectangle with a corner ellipse of the given size
// covers, pixel for pixel, as the system's round-rectangle region does.
QRegion RoundRectRegion(int width, int height, int ellipseWidth, int ellipseHeight)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, width, height), ellipseWidth / 2.0, ellipseHeight / 2.0);
    return QRegion(path.toFillPolygon().toPolygon(), Qt::WindingFill);
}
} // namespace

TForm5::TForm5() : TForm(Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Form5"));
    setFont(VclFont(MsSansSerif));
    setAutoFillBackground(true);
    SetClientSize(ClientWidth, ClientHeight);

    Image1 = new TImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 465, 121);
    // Unscaled from its top-left corner: the banner's three rightmost columns fall outside.
    Image1->SetPicture(Picture("banner"), false);

    Label1 = new TLabel(this, QStringLiteral("ver: 0.01a [ build 18.09.2007 ]"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(VclFont(MsSansSerif));
    QPalette colours = Label1->palette();
    colours.setColor(QPalette::WindowText, QColor(255, 255, 0));
    Label1->setPalette(colours);
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->move(48, 80);
    Label1->adjustSize();

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
