#include "app/AboutWindow.h"

#include "app/SplashWindow.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Pictures.h"

namespace kw {

TForm4* Form4 = nullptr;

namespace {

// A tool window's small caption with no button on it: no system menu, no
// minimise, maximise or close button.
constexpr Qt::WindowFlags AboutFrame = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

template <class Control>
Control* Placed(Control* control, const char* name, QRect geometry)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

TImage* PictureBox(QWidget* parent, const char* name, const char* picture, bool transparent, QRect geometry)
{
    auto* image = Placed(new TImage(parent), name, geometry);
    image->SetPicture(Picture(picture), transparent);
    return image;
}

} // namespace

TForm4::TForm4() : TForm(AboutFrame)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("About..."));
    setWindowIcon(ProgramIcon());
    setFont(VclFont(MsSansSerif));
    setAutoFillBackground(true);
    setFixedSize(483, 222);

    Bevel1 = Placed(new TBevel(this), "Bevel1", QRect(0, 0, 481, 137));
    Bevel2 = Placed(new TBevel(this), "Bevel2", QRect(0, 144, 481, 73));
    // Unscaled from its top-left corner: the banner's three rightmost columns fall outside.
    Image1 = PictureBox(this, "Image1", "banner", false, QRect(8, 8, 465, 121));
    Label2 = VersionLabel(this, QPoint(160, 88));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new TLabel(this, QStringLiteral("Kestrelwork for GP2X"));
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->move(8, 152);
    Label3->adjustSize();
    // The logo lies on white, which is not painted: the window's colour shows through.
    Image2 = PictureBox(this, "Image2", "logo", true, QRect(296, 168, 177, 41));
    Label6 = Placed(new TLabel(this, QString()), "Label6", QRect(8, 168, 3, 13));

    BitBtn1 = Placed(new TBitBtn(QStringLiteral("Close"), this), "BitBtn1", QRect(200, 184, 75, 25));
    BitBtn1->setAccessibleName(QStringLiteral("Close"));
    // The focused button answers Enter as well as Space, as a dialog's button does.
    BitBtn1->setAutoDefault(true);
    // The only control that takes the focus, so it holds it whenever the window is shown.
    BitBtn1->setFocus();
    ConnectHandler(BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
}

void TForm4::BitBtn1Click(TObject*)
{
    Close();
}

} // namespace kw
