// Draws the logos, icons, histogram backgrounds, the windowing illustration and the colour LUTs.
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor Slate(0x1F, 0x2A, 0x36);
const QColor SlateLight(0x2E, 0x3F, 0x52);
const QColor Accent(0xE8, 0x77, 0x2E);
const QColor Paper(0xF4, 0xF1, 0xEC);

QString g_sOut;

bool Save(const QImage& p_Image, const QString& p_sRelative)
{
    const QString sPath = g_sOut + "/" + p_sRelative;
    QDir().mkpath(QFileInfo(sPath).absolutePath());
    if (!p_Image.save(sPath, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(sPath));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(sPath));
    return true;
}

QImage Canvas(int p_iWidth, int p_iHeight, const QColor& p_Fill = Qt::transparent)
{
    QImage image(p_iWidth, p_iHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(p_Fill);
    return image;
}

// The mark: a sensor die seen from above, a target of rings on it, a warm spot.
void DrawMark(QPainter& p, const QPointF& p_Centre, qreal p_rSize)
{
    p.save();
    p.translate(p_Centre);
    const qreal h = p_rSize / 2;
    p.setPen(QPen(Paper, p_rSize * 0.035));
    p.setBrush(SlateLight);
    p.drawRoundedRect(QRectF(-h, -h, p_rSize, p_rSize), p_rSize * 0.12, p_rSize * 0.12);
    // Bond pads along the edges.
    p.setPen(Qt::NoPen);
    p.setBrush(Paper);
    const int iPads = 6;
    for (int i = 0; i < iPads; ++i) {
        const qreal t = -h * 0.7 + i * (1.4 * h / (iPads - 1));
        const qreal s = p_rSize * 0.05;
        p.drawRect(QRectF(t - s / 2, -h * 0.9, s, s));
        p.drawRect(QRectF(t - s / 2, h * 0.9 - s, s, s));
    }
    QRadialGradient heat(QPointF(0, 0), h * 0.62);
    heat.setColorAt(0.0, QColor(0xFF, 0xE0, 0x8A));
    heat.setColorAt(0.45, Accent);
    heat.setColorAt(1.0, QColor(0x8E, 0x2B, 0x1E, 0));
    p.setBrush(heat);
    p.drawEllipse(QPointF(0, 0), h * 0.62, h * 0.62);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Paper, p_rSize * 0.025));
    p.drawEllipse(QPointF(0, 0), h * 0.42, h * 0.42);
    p.drawLine(QPointF(-h * 0.62, 0), QPointF(-h * 0.2, 0));
    p.drawLine(QPointF(h * 0.2, 0), QPointF(h * 0.62, 0));
    p.drawLine(QPointF(0, -h * 0.62), QPointF(0, -h * 0.2));
    p.drawLine(QPointF(0, h * 0.2), QPointF(0, h * 0.62));
    p.restore();
}

void DrawBackdrop(QPainter& p, const QRect& p_Area)
{
    QRadialGradient glow(p_Area.center(), p_Area.width() * 0.7);
    glow.setColorAt(0.0, SlateLight);
    glow.setColorAt(1.0, Slate);
    p.fillRect(p_Area, glow);
}

QFont Font(qreal p_rPixels, int p_iWeight = QFont::Normal, qreal p_rSpacing = 0)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, int(std::lround(p_rPixels))));
    font.setWeight(p_iWeight);
    if (p_rSpacing != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, p_rSpacing);
    return font;
}

QImage Logo()
{
    QImage image = Canvas(1024, 768);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    DrawBackdrop(p, image.rect());
    DrawMark(p, QPointF(512, 300), 260);
    p.setPen(Paper);
    p.setFont(Font(96, QFont::Bold, 4));
    p.drawText(QRect(0, 470, 1024, 120), Qt::AlignCenter, QStringLiteral("Kestivo"));
    p.setPen(Accent);
    p.setFont(Font(30, QFont::DemiBold, 10));
    p.drawText(QRect(0, 580, 1024, 50), Qt::AlignCenter, QStringLiteral("VANTREL"));
    p.setPen(QColor(0xB8, 0xC4, 0xD0));
    p.setFont(Font(22));
    p.drawText(QRect(0, 640, 1024, 40), Qt::AlignCenter,
               QStringLiteral("Infrared sensor board evaluation"));
    return image;
}

QImage LogoMini()
{
    QImage image = Canvas(256, 192);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    DrawBackdrop(p, image.rect());
    DrawMark(p, QPointF(128, 78), 96);
    p.setPen(Paper);
    p.setFont(Font(30, QFont::Bold, 1));
    p.drawText(QRect(0, 132, 256, 36), Qt::AlignCenter, QStringLiteral("Kestivo"));
    p.setPen(Accent);
    p.setFont(Font(12, QFont::DemiBold, 4));
    p.drawText(QRect(0, 166, 256, 18), Qt::AlignCenter, QStringLiteral("VANTREL"));
    return image;
}

using Painter = std::function<void(QPainter&)>;

QImage Icon(const Painter& p_Draw)
{
    QImage image = Canvas(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p_Draw(p);
    return image;
}

QImage IconPlay()
{
    return Icon([](QPainter& p) {
        QPainterPath path;
        path.moveTo(18, 10);
        path.lineTo(54, 32);
        path.lineTo(18, 54);
        path.closeSubpath();
        p.setPen(QPen(QColor(0x1E, 0x7A, 0x3C), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0x34, 0xA8, 0x5A));
        p.drawPath(path);
    });
}

QImage IconStop()
{
    return Icon([](QPainter& p) {
        p.setPen(QPen(QColor(0x96, 0x24, 0x1C), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0xD2, 0x3F, 0x31));
        p.drawRoundedRect(QRectF(12, 12, 40, 40), 7, 7);
    });
}

QImage IconRec()
{
    return Icon([](QPainter& p) {
        p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF, 230), 4));
        QRadialGradient dot(QPointF(27, 27), 24);
        dot.setColorAt(0.0, QColor(0xFF, 0x6B, 0x5B));
        dot.setColorAt(1.0, QColor(0xC0, 0x1E, 0x12));
        p.setBrush(dot);
        p.drawEllipse(QPointF(32, 32), 24, 24);
    });
}

QImage IconSizeUp()
{
    return Icon([](QPainter& p) {
        p.setPen(QPen(Slate, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        // Two diagonal arrows pointing out to opposite corners.
        p.drawLine(QPointF(26, 38), QPointF(12, 52));
        p.drawPolyline(QPolygonF({QPointF(12, 38), QPointF(12, 52), QPointF(26, 52)}));
        p.drawLine(QPointF(38, 26), QPointF(52, 12));
        p.drawPolyline(QPolygonF({QPointF(38, 12), QPointF(52, 12), QPointF(52, 26)}));
    });
}

// The histogram grids as the program would draw them itself when missing:
// grey (120) one-pixel lines on a light background.
QImage Grid(int p_iWidth, int p_iHeight, int p_iBackground, bool p_bAdvanced)
{
    QImage image(p_iWidth, p_iHeight, QImage::Format_RGB888);
    image.fill(QColor(p_iBackground, p_iBackground, p_iBackground));
    const QRgb line = qRgb(120, 120, 120);
    auto vertical = [&](int x) {
        if (x >= 0 && x < p_iWidth)
            for (int y = 0; y < p_iHeight; ++y)
                image.setPixel(x, y, line);
    };
    auto horizontal = [&](int y) {
        if (y >= 0 && y < p_iHeight)
            for (int x = 0; x < p_iWidth; ++x)
                image.setPixel(x, y, line);
    };
    if (p_bAdvanced) {
        for (int x = 0; x <= p_iWidth; x += p_iWidth / 8)
            vertical(x);
        for (double y = 0; y < p_iHeight; y += p_iHeight / 10.0)
            horizontal(int(y));
    } else {
        for (int x = p_iWidth / 8; x < p_iWidth; x += p_iWidth / 8)
            vertical(x);
        for (int y = p_iHeight / 10; y < p_iHeight; y += p_iHeight / 10)
            horizontal(y);
    }
    return image;
}

// The sensor array with a window drawn on it and its four corner names.
QImage WindowingIllustration()
{
    QImage image = Canvas(480, 360, Paper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF sensor(70, 50, 360, 260);
    p.setPen(Qt::NoPen);
    p.setBrush(SlateLight);
    p.drawRect(sensor);
    p.setPen(QPen(QColor(0x44, 0x58, 0x6C), 1));
    for (qreal x = sensor.left() + 20; x < sensor.right(); x += 20)
        p.drawLine(QPointF(x, sensor.top()), QPointF(x, sensor.bottom()));
    for (qreal y = sensor.top() + 20; y < sensor.bottom(); y += 20)
        p.drawLine(QPointF(sensor.left(), y), QPointF(sensor.right(), y));

    const QRectF window(170, 110, 180, 130);
    QColor fill = Accent;
    fill.setAlpha(90);
    p.setBrush(fill);
    p.setPen(QPen(Accent, 3));
    p.drawRect(window);

    p.setPen(QPen(Slate, 1.5, Qt::DashLine));
    p.drawLine(QPointF(window.left(), window.bottom()), QPointF(window.left(), 326));
    p.drawLine(QPointF(window.right(), window.bottom()), QPointF(window.right(), 326));
    p.drawLine(QPointF(window.left(), window.top()), QPointF(54, window.top()));
    p.drawLine(QPointF(window.left(), window.bottom()), QPointF(54, window.bottom()));

    p.setPen(Slate);
    p.setFont(Font(15, QFont::DemiBold));
    p.drawText(QRectF(window.left() - 50, 328, 100, 24), Qt::AlignCenter, QStringLiteral("XFirst"));
    p.drawText(QRectF(window.right() - 50, 328, 100, 24), Qt::AlignCenter, QStringLiteral("XLast"));
    p.drawText(QRectF(0, window.top() - 12, 52, 24), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("YFirst"));
    p.drawText(QRectF(0, window.bottom() - 12, 52, 24), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("YLast"));
    p.setFont(Font(14));
    p.drawText(QRectF(sensor.left(), 18, sensor.width(), 24), Qt::AlignCenter,
               QStringLiteral("Full sensor"));
    p.setPen(Paper);
    p.drawText(window, Qt::AlignCenter, QStringLiteral("Window"));
    return image;
}

// A LUT file: a header line, then 256 lines "red;green;blue".
bool WriteLut(const QString& p_sName, const std::function<void(int, int&, int&, int&)>& p_Entry)
{
    const QString sPath = g_sOut + "/LUT/" + p_sName;
    QDir().mkpath(g_sOut + "/LUT");
    QFile file(sPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(sPath));
        return false;
    }
    QTextStream out(&file);
    out << "Red;Green;Blue\n";
    for (int i = 0; i < 256; ++i) {
        int r = 0, g = 0, b = 0;
        p_Entry(i, r, g, b);
        out << std::clamp(r, 0, 255) << ';' << std::clamp(g, 0, 255) << ';' << std::clamp(b, 0, 255) << '\n';
    }
    std::printf("wrote %s\n", qPrintable(sPath));
    return true;
}

int Ramp(int p_iLevel, int p_iStart, int p_iEnd)
{
    if (p_iLevel <= p_iStart)
        return 0;
    if (p_iLevel >= p_iEnd)
        return 255;
    return int(std::lround(255.0 * (p_iLevel - p_iStart) / (p_iEnd - p_iStart)));
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_artwork <resources folder>\n");
        return 2;
    }
    g_sOut = QString::fromLocal8Bit(argv[1]);
    bool bOk = true;
    bOk &= Save(Logo(), "Images/Logos/Logo.png");
    bOk &= Save(LogoMini(), "Images/Logos/Logo_mini.png");
    bOk &= Save(IconPlay(), "Images/Icons/Icon_Play.png");
    bOk &= Save(IconStop(), "Images/Icons/Icon_Stop.png");
    bOk &= Save(IconRec(), "Images/Icons/Icon_REC.png");
    bOk &= Save(IconSizeUp(), "Images/Icons/Icon_SizeUp.png");
    bOk &= Save(Grid(224, 161, 240, false), "Images/Backgrounds/Background_grid.png");
    bOk &= Save(Grid(1024, 768, 200, true), "Images/Backgrounds/Background_grid_Adv_Histo.png");
    bOk &= Save(WindowingIllustration(), "Images/Illustrations/Windowing.png");
    // Fire: black through red and yellow to white.
    bOk &= WriteLut("Fire.csv", [](int i, int& r, int& g, int& b) {
        r = Ramp(i, 0, 110);
        g = Ramp(i, 90, 200);
        b = Ramp(i, 180, 255);
    });
    // Cool: cyan through blue-violet to magenta.
    bOk &= WriteLut("Cool.csv", [](int i, int& r, int& g, int& b) {
        r = i;
        g = 255 - i;
        b = 255;
    });
    return bOk ? 0 : 1;
}
