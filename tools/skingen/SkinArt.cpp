#include "SkinArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <numbers>

namespace rf {

using namespace skin;

namespace {

// Width of the navigation column of the main window, in pixels.
constexpr int kNavWidth = 220;

QImage Canvas(int w, int h, const QColor& fill) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

void Smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
}

QPen Stroke(const QColor& colour, double width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A mast with waves on both sides: the mark of the program.
void DrawRadio(QPainter& p, QPointF base, double size, const QColor& colour) {
    p.save();
    p.setPen(Stroke(colour, std::max(1.5, size / 12)));
    p.setBrush(Qt::NoBrush);
    const QPointF top = base - QPointF(0, size * 0.55);
    p.drawLine(base, top);
    p.drawLine(base, base + QPointF(-size * 0.18, 0));
    p.drawLine(base, base + QPointF(size * 0.18, 0));
    for (int ring = 1; ring <= 2; ++ring) {
        const double r = size * 0.16 * ring;
        const QRectF box(top.x() - r, top.y() - r, 2 * r, 2 * r);
        p.drawArc(box, -50 * 16, 100 * 16);
        p.drawArc(box, 130 * 16, 100 * 16);
    }
    p.setBrush(colour);
    p.drawEllipse(top, size / 14 + 1, size / 14 + 1);
    p.restore();
}

void DrawCross(QPainter& p, QRectF box, const QColor& colour, double width) {
    p.setPen(Stroke(colour, width));
    p.drawLine(box.topLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomLeft());
}

void DrawMagnifier(QPainter& p, QPointF centre, double r, const QColor& colour) {
    p.setPen(Stroke(colour, 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, r, r);
    const double d = r * 0.72;
    p.drawLine(centre + QPointF(d, d), centre + QPointF(d * 2.0, d * 2.0));
}

void DrawWaves(QPainter& p, QPointF centre, double size, const QColor& colour) {
    p.setPen(Stroke(colour, 2.2));
    p.setBrush(Qt::NoBrush);
    for (int ring = 1; ring <= 3; ++ring) {
        const double r = size * 0.22 * ring;
        p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, 2.2, 2.2);
}

void DrawGlobe(QPainter& p, QPointF centre, double r, const QColor& colour) {
    p.setPen(Stroke(colour, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, r, r);
    p.drawEllipse(centre, r * 0.45, r);
    p.drawLine(centre - QPointF(r, 0), centre + QPointF(r, 0));
}

void DrawLink(QPainter& p, QPointF centre, double size, const QColor& colour) {
    p.setPen(Stroke(colour, 1.6));
    p.setBrush(Qt::NoBrush);
    p.save();
    p.translate(centre);
    p.rotate(-35);
    p.drawRoundedRect(QRectF(-size * 0.55, -size * 0.2, size * 0.6, size * 0.4), size * 0.2, size * 0.2);
    p.drawRoundedRect(QRectF(-size * 0.05, -size * 0.2, size * 0.6, size * 0.4), size * 0.2, size * 0.2);
    p.restore();
}

void DrawPencil(QPainter& p, QPointF tip, double length, const QColor& colour) {
    p.save();
    p.translate(tip);
    p.rotate(-45);
    p.setPen(Stroke(colour, 1.2));
    p.setBrush(colour);
    QPolygonF nib;
    nib << QPointF(0, 0) << QPointF(4, -2) << QPointF(4, 2);
    p.drawPolygon(nib);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4, -2, length - 4, 4));
    p.restore();
}

void DrawCheck(QPainter& p, QRectF box, const QColor& colour, double width) {
    p.setPen(Stroke(colour, width));
    QPolygonF tick;
    tick << QPointF(box.left(), box.center().y()) << QPointF(box.left() + box.width() * 0.38, box.bottom())
         << QPointF(box.right(), box.top());
    p.drawPolyline(tick);
}

void DrawRefresh(QPainter& p, QPointF centre, double r, const QColor& colour) {
    p.setPen(Stroke(colour, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 60 * 16, 280 * 16);
    const double a = 60.0 * std::numbers::pi / 180.0;
    const QPointF end = centre + QPointF(r * std::cos(a), -r * std::sin(a));
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    QPolygonF head;
    head << end + QPointF(-4.5, -2.5) << end + QPointF(3.0, -3.5) << end + QPointF(0.5, 3.5);
    p.drawPolygon(head);
}

// Capital letters of 5 x 7 dots for the few labels the pictures carry.
const std::array<const char*, 7>* Glyph(char c) {
    static const std::array<const char*, 7> kW{"10001", "10001", "10001", "10101", "10101", "10101", "01010"};
    static const std::array<const char*, 7> kE{"11111", "10000", "10000", "11110", "10000", "10000", "11111"};
    static const std::array<const char*, 7> kB{"11110", "10001", "10001", "11110", "10001", "10001", "11110"};
    static const std::array<const char*, 7> kR{"11110", "10001", "10001", "11110", "10100", "10010", "10001"};
    static const std::array<const char*, 7> kI{"01110", "00100", "00100", "00100", "00100", "00100", "01110"};
    static const std::array<const char*, 7> kD{"11110", "10001", "10001", "10001", "10001", "10001", "11110"};
    static const std::array<const char*, 7> kG{"01111", "10000", "10000", "10111", "10001", "10001", "01111"};
    switch (c) {
    case 'W':
        return &kW;
    case 'E':
        return &kE;
    case 'B':
        return &kB;
    case 'R':
        return &kR;
    case 'I':
        return &kI;
    case 'D':
        return &kD;
    case 'G':
        return &kG;
    default:
        return nullptr;
    }
}

void DrawDots(QImage& image, int x, int y, const char* text, const QColor& colour) {
    for (; *text != '\0'; ++text, x += 6) {
        const auto* glyph = Glyph(*text);
        if (glyph == nullptr) {
            continue;
        }
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                if ((*glyph)[static_cast<size_t>(row)][col] == '1') {
                    image.setPixelColor(x + col, y + row, colour);
                }
            }
        }
    }
}

QImage Pill(int w, int h, const QColor& fill) {
    QImage image = Canvas(w, h, Qt::white);
    QPainter p(&image);
    Smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), h / 2.0 - 1, h / 2.0 - 1);
    return image;
}

// A light push button: white to mist, a blue rim; pressed is a shade deeper.
QImage Button(int w, int h, bool pressed, const QColor& rim = kBlue) {
    QImage image = Canvas(w, h, Qt::white);
    QPainter p(&image);
    Smooth(p);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, pressed ? kMist : Qt::white);
    g.setColorAt(1, pressed ? kSky.lighter(130) : kMist);
    p.setBrush(g);
    p.setPen(Stroke(rim, 1.2));
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 5, 5);
    return image;
}

QImage Banner(int w, int h) {
    QImage image = Canvas(w, h, Qt::white);
    QPainter p(&image);
    Smooth(p);
    QLinearGradient band(0, 0, w, 0);
    band.setColorAt(0, kNavy);
    band.setColorAt(1, kBlue);
    p.fillRect(QRect(0, 0, w, 86), band);
    p.setPen(Stroke(QColor(255, 255, 255, 28), 1.5));
    for (int i = 0; i < 5; ++i) {
        const double r = 120 + 70 * i;
        p.drawEllipse(QPointF(w - 160, 150), r, r);
    }
    DrawRadio(p, QPointF(48, 66), 56, Qt::white);
    p.fillRect(QRect(0, 86, kNavWidth, 72), kMist);
    p.setPen(Stroke(kGrey, 1));
    p.drawLine(QPointF(kNavWidth + 0.5, 86), QPointF(kNavWidth + 0.5, h));
    p.fillRect(QRect(0, 86, w, 3), kSky);
    return image;
}

QImage MenuColumn(int w, int h) {
    QImage image = Canvas(w, h, kMist);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, kMist);
    g.setColorAt(1, QColor(220, 230, 240));
    p.fillRect(image.rect(), g);
    p.setPen(kGrey);
    p.drawLine(w - 1, 0, w - 1, h);
    return image;
}

QImage MenuButton(bool down, bool search) {
    const int w = kNavWidth - 2;
    const int h = 45;
    QImage image = Canvas(w, h, kMist);
    QPainter p(&image);
    Smooth(p);
    if (down) {
        p.fillRect(QRect(0, 3, w, h - 6), Qt::white);
        p.fillRect(QRect(0, 3, 4, h - 6), kBlue);
    }
    p.setPen(QColor(210, 220, 232));
    p.drawLine(12, h - 1, w - 12, h - 1);
    const QColor icon = down ? kBlue : kInk;
    if (search) {
        DrawMagnifier(p, QPointF(24, 20), 7, icon);
    } else {
        DrawWaves(p, QPointF(25, 30), 18, icon);
    }
    return image;
}

QImage TitleButton(char kind) {
    const int w = 26;
    const int h = 16;
    QImage image = Canvas(w, h, kBlue);
    QPainter p(&image);
    Smooth(p);
    const QColor ink = Qt::white;
    if (kind == 'x') {
        DrawCross(p, QRectF(9, 4, 8, 8), ink, 1.8);
    } else if (kind == '-') {
        p.setPen(Stroke(ink, 1.8));
        p.drawLine(QPointF(8, 11), QPointF(18, 11));
    } else if (kind == 'm') {
        p.setPen(Stroke(ink, 1.5));
        p.drawRect(QRectF(8.5, 3.5, 9, 9));
        p.drawLine(QPointF(8.5, 4.5), QPointF(17.5, 4.5));
    } else if (kind == 'r') { // two windows, one behind the other
        p.setPen(Stroke(ink, 1.4));
        p.drawPolyline(QPolygonF({QPointF(10.5, 4.5), QPointF(10.5, 2.5), QPointF(18.5, 2.5),
                                  QPointF(18.5, 10.5), QPointF(16.5, 10.5)}));
        p.drawRect(QRectF(7.5, 5.5, 8, 8));
    } else {
        p.setPen(Stroke(ink, 1.6));
        QPainterPath hook;
        hook.moveTo(10, 6);
        hook.cubicTo(10, 2.5, 16, 2.5, 16, 6);
        hook.cubicTo(16, 8.5, 13, 8.5, 13, 10.5);
        p.drawPath(hook);
        p.setBrush(ink);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(13, 13), 1.1, 1.1);
    }
    return image;
}

QImage MenuEntry(char kind) {
    QImage image = Canvas(16, 16, Qt::white);
    QPainter p(&image);
    Smooth(p);
    p.setPen(Stroke(kBlue, 1.4));
    p.setBrush(Qt::NoBrush);
    switch (kind) {
    case 'p': // product: a box
        p.drawRect(QRectF(3, 5, 10, 8));
        p.drawLine(QPointF(3, 5), QPointF(6, 2));
        p.drawLine(QPointF(13, 5), QPointF(10, 2));
        p.drawLine(QPointF(6, 2), QPointF(10, 2));
        break;
    case 's': // support: a ring buoy
        p.drawEllipse(QPointF(8, 8), 6, 6);
        p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
        break;
    case 'c': // contact: an envelope
        p.drawRect(QRectF(2, 4, 12, 8));
        p.drawPolyline(QPolygonF{QPointF(2, 4), QPointF(8, 9), QPointF(14, 4)});
        break;
    default: // help: a ring with a dot
        p.drawEllipse(QPointF(8, 8), 6, 6);
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(8, 11), 0.8, 0.8);
        p.drawLine(QPointF(8, 5), QPointF(8, 8.5));
        break;
    }
    return image;
}

QImage Closer(int size, const QColor& background, const QColor& ink) {
    QImage image = Canvas(size, size, background);
    QPainter p(&image);
    Smooth(p);
    p.setPen(Stroke(kGrey, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    const double m = size * 0.32;
    DrawCross(p, QRectF(m, m, size - 2 * m, size - 2 * m), ink, 1.6);
    return image;
}

// The picture of the installation help: the PC, a switch and radios on one segment, with numbered steps.
QImage InstallHelp(const QColor& accent) {
    const int w = 980;
    const int h = 1180;
    QImage image = Canvas(w, h, Qt::white);
    QPainter p(&image);
    Smooth(p);
    for (int step = 0; step < 4; ++step) {
        const int top = 30 + step * 285;
        p.setPen(Stroke(kGrey, 1));
        p.setBrush(kPanel);
        p.drawRoundedRect(QRectF(30, top, w - 60, 255), 14, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        p.drawEllipse(QPointF(80, top + 50), 26, 26);
        p.setBrush(Qt::white);
        for (int dot = 0; dot <= step; ++dot) {
            p.drawEllipse(QPointF(80 - step * 5 + dot * 10, top + 50), 3.5, 3.5);
        }
        p.setPen(Stroke(kInk, 3));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(160, top + 70, 150, 100), 8, 8);
        p.drawLine(QPointF(235, top + 170), QPointF(235, top + 195));
        p.drawLine(QPointF(200, top + 195), QPointF(270, top + 195));
        p.drawRoundedRect(QRectF(400, top + 115, 160, 40), 6, 6);
        for (int port = 0; port < 5; ++port) {
            p.fillRect(QRectF(415 + port * 28, top + 128, 14, 14), kInk);
        }
        p.setPen(Stroke(accent, 3));
        p.drawLine(QPointF(310, top + 135), QPointF(400, top + 135));
        for (int radio = 0; radio <= std::min(step, 2); ++radio) {
            const double x = 680 + radio * 100;
            p.setPen(Stroke(accent, 3));
            p.drawLine(QPointF(560, top + 135), QPointF(x, top + 200));
            DrawRadio(p, QPointF(x, top + 200), 110, kInk);
        }
    }
    return image;
}

QImage Web(bool letters) {
    QImage image = Pill(50, 16, kBlue);
    QPainter p(&image);
    Smooth(p);
    DrawGlobe(p, QPointF(letters ? 10 : 25, 8), 5, Qt::white);
    p.end();
    if (letters) {
        DrawDots(image, 20, 4, "WEB", Qt::white);
    }
    return image;
}

QImage Bridge(bool letters) {
    QImage image = Pill(50, 16, kGreen);
    if (letters) {
        DrawDots(image, 8, 4, "BRIDGE", Qt::white);
    } else {
        QPainter p(&image);
        Smooth(p);
        DrawLink(p, QPointF(25, 8), 16, Qt::white);
    }
    return image;
}

QImage Write() {
    QImage image = Pill(50, 16, kOrange);
    QPainter p(&image);
    Smooth(p);
    DrawPencil(p, QPointF(19, 12), 16, Qt::white);
    return image;
}

QImage Refresh(bool down) {
    QImage image = Canvas(24, 24, Qt::white);
    QPainter p(&image);
    Smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(down ? kMist : Qt::white);
    p.drawEllipse(QRectF(1, 1, 22, 22));
    DrawRefresh(p, QPointF(12, 12), 6.5, down ? kNavy : kBlue);
    return image;
}

QImage Tab(bool active) {
    QImage image = Canvas(120, 32, Qt::white);
    QPainter p(&image);
    Smooth(p);
    p.setPen(Stroke(kGrey, 1));
    p.setBrush(active ? QColor(Qt::white) : kMist);
    p.drawRoundedRect(QRectF(0.5, 0.5, 119, 40), 6, 6);
    if (active) {
        p.fillRect(QRectF(1, 1, 118, 3), kBlue);
    }
    return image;
}

QImage BridgeFinish() {
    QImage image = Canvas(600, 300, Qt::white);
    QPainter p(&image);
    Smooth(p);
    QRadialGradient glow(QPointF(300, 150), 300);
    glow.setColorAt(0, kMist);
    glow.setColorAt(1, Qt::white);
    p.fillRect(image.rect(), glow);
    DrawRadio(p, QPointF(130, 230), 180, kInk);
    DrawRadio(p, QPointF(470, 230), 180, kInk);
    p.setPen(QPen(kBlue, 3, Qt::DashLine, Qt::RoundCap));
    p.drawLine(QPointF(175, 130), QPointF(425, 130));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(300, 130), 34, 34);
    DrawCheck(p, QRectF(284, 118, 32, 24), Qt::white, 5);
    return image;
}

QImage Signal(int level) {
    QImage image = Canvas(30, 16, Qt::white);
    QPainter p(&image);
    for (int bar = 0; bar < 5; ++bar) {
        const int h = 3 + bar * 3;
        const QRect r(3 + bar * 5, 15 - h, 4, h);
        p.fillRect(r, bar < level ? (level <= 1 ? kOrange : kGreen) : QColor(214, 220, 228));
    }
    return image;
}

QImage Line(int w, int h, const QColor& colour) {
    return Canvas(w, h, colour);
}

} // namespace

QImage ApplicationIcon(int size) {
    QImage image = Canvas(size, size, Qt::transparent);
    QPainter p(&image);
    Smooth(p);
    p.scale(size / 48.0, size / 48.0);
    QLinearGradient g(0, 0, 48, 48);
    g.setColorAt(0, kBlue);
    g.setColorAt(1, kNavy);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 2, 44, 44), 10, 10);
    DrawRadio(p, QPointF(24, 40), 38, Qt::white);
    return image;
}

std::map<std::string, SkinPainter> StillPictures() {
    std::map<std::string, SkinPainter> art{
        {"main_bk.jpg", [] { return Banner(1000, 680); }},
        {"main_left_bk.jpg", [] { return MenuColumn(kNavWidth, 522); }},
        {"Application.ico", [] { return ApplicationIcon(48); }},
        {"close_normal.bmp", [] { return TitleButton('x'); }},
        {"min_normal.bmp", [] { return TitleButton('-'); }},
        {"max_normal.bmp", [] { return TitleButton('m'); }},
        {"restore_normal.bmp", [] { return TitleButton('r'); }},
        {"help_normal.bmp", [] { return TitleButton('?'); }},
        {"help_product_normal.bmp", [] { return MenuEntry('p'); }},
        {"help_support_normal.bmp", [] { return MenuEntry('s'); }},
        {"help_contact_normal.bmp", [] { return MenuEntry('c'); }},
        {"help_help_normal.bmp", [] { return MenuEntry('h'); }},
        {"bt_menu_search_normal.bmp", [] { return MenuButton(false, true); }},
        {"bt_menu_search_down.bmp", [] { return MenuButton(true, true); }},
        {"bt_menu_wireless_normal.bmp", [] { return MenuButton(false, false); }},
        {"bt_menu_wireless_down.bmp", [] { return MenuButton(true, false); }},
        {"close_wait.bmp", [] { return Closer(20, QColor(242, 242, 242), kInk); }},
        {"help_chinese.jpg", [] { return InstallHelp(kOrange); }},
        {"help_other.jpg", [] { return InstallHelp(kBlue); }},
        {"web_chinese.bmp", [] { return Web(false); }},
        {"web_other.bmp", [] { return Web(true); }},
        {"bridge_chinese.bmp", [] { return Bridge(false); }},
        {"bridge_other.bmp", [] { return Bridge(true); }},
        {"btn_search.bmp", [] { return Button(96, 30, false); }},
        {"btn_update_normal.bmp", [] { return Refresh(false); }},
        {"btn_update_down.bmp", [] { return Refresh(true); }},
        {"btn_config.bmp", [] { return Button(90, 30, false); }},
        {"config_btn.bmp", [] { return Button(80, 28, true); }},
        {"close_config.bmp", [] { return Closer(20, Qt::white, kInk); }},
        {"wireless_basic.bmp", [] { return Tab(false); }},
        {"wireless_config.bmp", [] { return Tab(true); }},
        {"btn_pie.bmp", [] { return Button(100, 30, false); }},
        {"btn_pie2.bmp", [] { return Button(100, 30, false, kOrange); }},
        {"write.bmp", [] { return Write(); }},
        {"bridge_finish.jpg", [] { return BridgeFinish(); }},
        {"line.bmp", [] { return Line(860, 2, QColor(215, 215, 215)); }},
        {"gray_line.bmp", [] { return Line(600, 1, QColor(200, 200, 200)); }},
        {"orange_line.bmp", [] { return Line(560, 2, kOrange); }},
    };
    for (int level = 0; level <= 5; ++level) {
        art.emplace("singal_strength" + std::to_string(level) + ".bmp", [level] { return Signal(level); });
    }
    return art;
}

} // namespace rf
