// Draws the editor's tool bar icons and button pictures and writes them as PNG
// files under the folder given on the command line:
//   icons/{new,open,save,saveas,exit,help,about,compile}.png      16 x 16
//   buttons/{add,del,clear,sort}[-disabled].png                   16 x 16
//   buttons/film[-disabled].png                                   32 x 24
//   buttons/{apply,presets,switch}.png                            16 x 16
// Everything is drawn from geometry (no fonts, no outside art), so the same
// source gives the same pictures on every machine.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

using Draw = std::function<void(QPainter&)>;

QImage Render(int width, int height, const Draw& draw)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The picture a disabled button shows: the same shape, flat light grey.
QImage Disabled(const QImage& source)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const int grey = 120 + qGray(pixel) / 3;
            line[x] = qRgba(grey, grey, grey, qAlpha(pixel));
        }
    }
    return image;
}

QPen Pen(const QColor& color, qreal width = 1.0)
{
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// A question mark filling `box`: a hook and a dot.
void QuestionMark(QPainter& p, const QRectF& box, const QColor& color, qreal stroke)
{
    const qreal w = box.width();
    const qreal h = box.height();
    QPainterPath hook;
    hook.moveTo(box.left() + w * 0.18, box.top() + h * 0.30);
    hook.cubicTo(box.left() + w * 0.18, box.top() + h * 0.02, box.left() + w * 0.82, box.top() + h * 0.02,
                 box.left() + w * 0.82, box.top() + h * 0.30);
    hook.cubicTo(box.left() + w * 0.82, box.top() + h * 0.48, box.left() + w * 0.50, box.top() + h * 0.48,
                 box.left() + w * 0.50, box.top() + h * 0.68);
    p.setPen(Pen(color, stroke));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const qreal dot = stroke * 1.1;
    p.drawEllipse(QPointF(box.left() + w * 0.50, box.bottom() - dot / 2), dot / 2 + 0.2, dot / 2 + 0.2);
}

void Page(QPainter& p, const QRectF& r, bool fold)
{
    QPolygonF outline;
    const qreal corner = fold ? 3.5 : 0;
    outline << r.topLeft() << QPointF(r.right() - corner, r.top()) << QPointF(r.right(), r.top() + corner)
            << r.bottomRight() << r.bottomLeft();
    p.setPen(Pen(QColor(80, 80, 90)));
    p.setBrush(Qt::white);
    p.drawPolygon(outline);
    if (fold) {
        QPolygonF flap;
        flap << QPointF(r.right() - corner, r.top()) << QPointF(r.right() - corner, r.top() + corner)
             << QPointF(r.right(), r.top() + corner);
        p.setBrush(QColor(215, 220, 230));
        p.drawPolygon(flap);
    }
}

void Diskette(QPainter& p, bool textLines)
{
    QPainterPath body;
    body.moveTo(1.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(14.5, 3.5);
    body.lineTo(14.5, 14.5);
    body.lineTo(1.5, 14.5);
    body.closeSubpath();
    p.setPen(Pen(QColor(20, 40, 90)));
    p.setBrush(QColor(50, 90, 180));
    p.drawPath(body);
    // Metal shutter with its slot.
    p.setPen(Pen(QColor(90, 90, 100)));
    p.setBrush(QColor(200, 205, 215));
    p.drawRect(QRectF(4.5, 1.5, 7, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(50, 90, 180));
    p.drawRect(QRectF(8.5, 2.5, 2, 2.5));
    // Label.
    p.setPen(Pen(QColor(120, 120, 130)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 8.5, 9, 6));
    if (textLines) {
        p.setPen(Pen(QColor(30, 30, 30), 1.0));
        p.drawLine(QPointF(5, 10.5), QPointF(11, 10.5));
        p.drawLine(QPointF(5, 12.5), QPointF(9.5, 12.5));
    }
}

void Arrow(QPainter& p, const QPointF& from, const QPointF& to, const QColor& color, qreal width, qreal head)
{
    const QLineF shaft(from, to);
    QLineF unit = shaft.unitVector();
    const QPointF direction = unit.p2() - unit.p1();
    const QPointF normal(-direction.y(), direction.x());
    const QPointF base = to - direction * head;
    p.setPen(Pen(color, width));
    p.drawLine(from, base);
    QPolygonF tip;
    tip << to << base + normal * head * 0.8 << base - normal * head * 0.8;
    p.setPen(Pen(color.darker(130)));
    p.setBrush(color);
    p.drawPolygon(tip);
}

// --- icons -----------------------------------------------------------------

void NewIcon(QPainter& p)
{
    Page(p, QRectF(3.5, 1.5, 9, 13), true);
}

void OpenIcon(QPainter& p)
{
    const QColor edge(140, 100, 20);
    // Back of the folder with its tab.
    QPolygonF back;
    back << QPointF(1.5, 4.5) << QPointF(5.5, 4.5) << QPointF(6.5, 5.5) << QPointF(11.5, 5.5) << QPointF(11.5, 14.5)
         << QPointF(1.5, 14.5);
    p.setPen(Pen(edge));
    p.setBrush(QColor(235, 190, 80));
    p.drawPolygon(back);
    // Front flap, swung open.
    QPolygonF front;
    front << QPointF(3.5, 8.5) << QPointF(14.5, 8.5) << QPointF(11.5, 14.5) << QPointF(1.5, 14.5);
    p.setBrush(QColor(250, 215, 110));
    p.drawPolygon(front);
    // Arrow coming out of it.
    QPainterPath bend;
    bend.moveTo(7.5, 7.0);
    bend.quadTo(8.0, 2.0, 12.5, 2.5);
    p.setPen(Pen(QColor(30, 140, 40), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bend);
    QPolygonF tip;
    tip << QPointF(15.0, 2.6) << QPointF(12.0, 0.3) << QPointF(12.0, 5.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 140, 40));
    p.drawPolygon(tip);
}

void SaveIcon(QPainter& p)
{
    Diskette(p, false);
}

void SaveAsIcon(QPainter& p)
{
    Diskette(p, true);
}

void ExitIcon(QPainter& p)
{
    // Door frame and the door standing open.
    p.setPen(Pen(QColor(70, 45, 20)));
    p.setBrush(QColor(40, 40, 50));
    p.drawRect(QRectF(1.5, 1.5, 8, 13));
    QPolygonF door;
    door << QPointF(1.5, 1.5) << QPointF(6.5, 3.0) << QPointF(6.5, 16.0) << QPointF(1.5, 14.5);
    p.setBrush(QColor(160, 100, 45));
    p.drawPolygon(door);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 200, 60));
    p.drawEllipse(QPointF(5.3, 9.0), 0.8, 0.8);
    Arrow(p, QPointF(8.0, 8.0), QPointF(15.5, 8.0), QColor(215, 30, 30), 2.2, 3.2);
}

void HelpIcon(QPainter& p)
{
    // Closed book: pages at the bottom, blue cover, spine on the left.
    p.setPen(Pen(QColor(110, 110, 110)));
    p.setBrush(QColor(250, 250, 240));
    p.drawRect(QRectF(3.5, 12.5, 10, 2));
    p.setPen(Pen(QColor(20, 40, 110)));
    p.setBrush(QColor(45, 85, 190));
    p.drawRoundedRect(QRectF(2.5, 1.5, 11, 11.5), 1, 1);
    p.setBrush(QColor(25, 55, 140));
    p.drawRect(QRectF(2.5, 1.5, 2, 13));
    QuestionMark(p, QRectF(6.0, 2.5, 6, 9), QColor(255, 220, 60), 1.7);
}

void AboutIcon(QPainter& p)
{
    QuestionMark(p, QRectF(3.0, 0.8, 10, 14.4), QColor(30, 80, 200), 2.6);
}

void CompileIcon(QPainter& p)
{
    QPolygonF triangle;
    triangle << QPointF(3.5, 1.5) << QPointF(14.5, 8.0) << QPointF(3.5, 14.5);
    QLinearGradient shade(0, 0, 16, 16);
    shade.setColorAt(0, QColor(90, 150, 255));
    shade.setColorAt(1, QColor(20, 60, 190));
    p.setPen(Pen(QColor(15, 40, 130)));
    p.setBrush(shade);
    p.drawPolygon(triangle);
}

// --- buttons ---------------------------------------------------------------

void PlusPicture(QPainter& p)
{
    QPainterPath plus;
    plus.setFillRule(Qt::WindingFill);
    plus.addRect(QRectF(5.5, 1.5, 5, 13));
    plus.addRect(QRectF(1.5, 5.5, 13, 5));
    p.setPen(Pen(QColor(0, 90, 0)));
    p.setBrush(QColor(40, 180, 40));
    p.drawPath(plus.simplified());
}

void MinusPicture(QPainter& p)
{
    p.setPen(Pen(QColor(80, 0, 0)));
    p.setBrush(QColor(150, 20, 20));
    p.drawRect(QRectF(2.5, 6.5, 11, 3.5));
}

void CrossPicture(QPainter& p)
{
    p.setPen(Pen(QColor(80, 0, 0), 4.2));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    p.setPen(Pen(QColor(160, 25, 25), 2.4));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void RunningFigure(QPainter& p, const QPointF& at, qreal scale)
{
    // A stick figure in mid-stride, `at` being its head.
    auto pt = [&](qreal x, qreal y) { return at + QPointF(x, y) * scale; };
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(pt(0, 0), 1.5 * scale, 1.5 * scale);
    p.setPen(Pen(QColor(30, 30, 30), 1.5 * scale));
    p.drawLine(pt(-0.5, 2), pt(-1.5, 7));                                                 // body, leaning forward
    p.drawPolyline(QPolygonF() << pt(-3.5, 4.5) << pt(-1, 3) << pt(2, 4.5) << pt(3, 3));  // arms
    p.drawPolyline(QPolygonF() << pt(-1.5, 7) << pt(1, 9) << pt(0.5, 12));                // front leg
    p.drawPolyline(QPolygonF() << pt(-1.5, 7) << pt(-3.5, 9.5) << pt(-5.5, 10));          // back leg
}

void FilmPicture(QPainter& p)
{
    // 32 x 24: a strip with sprocket holes along both edges and one frame.
    p.setPen(Pen(QColor(10, 10, 10)));
    p.setBrush(QColor(50, 45, 40));
    p.drawRect(QRectF(0.5, 2.5, 31, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 235, 225));
    for (int x = 2; x < 31; x += 4) {
        p.drawRect(QRectF(x, 3.5, 2, 2));
        p.drawRect(QRectF(x, 18.5, 2, 2));
    }
    p.setBrush(QColor(170, 210, 240));
    p.drawRect(QRectF(4, 6.5, 24, 11));
    p.setBrush(QColor(110, 170, 90));
    p.drawRect(QRectF(4, 15.5, 24, 2));
    RunningFigure(p, QPointF(17, 8.0), 0.75);
}

void HandPicture(QPainter& p)
{
    // Coloured shapes behind...
    p.setPen(Pen(QColor(120, 0, 0)));
    p.setBrush(QColor(230, 50, 50));
    p.drawEllipse(QRectF(0.5, 0.5, 6, 6));
    p.setPen(Pen(QColor(0, 90, 0)));
    p.setBrush(QColor(60, 190, 60));
    p.drawRect(QRectF(9.5, 0.5, 6, 6));
    QPolygonF triangle;
    triangle << QPointF(12.5, 8.5) << QPointF(15.5, 14.5) << QPointF(9.5, 14.5);
    p.setPen(Pen(QColor(0, 30, 120)));
    p.setBrush(QColor(60, 110, 230));
    p.drawPolygon(triangle);
    // ...and a hand pointing up at them: fist with the index finger raised.
    const QColor skin(250, 215, 170);
    const QColor outline(120, 70, 30);
    p.setPen(Pen(outline));
    p.setBrush(skin);
    p.drawRoundedRect(QRectF(4.5, 3.5, 2.5, 7), 1.2, 1.2);  // finger
    p.drawRoundedRect(QRectF(2.5, 8.5, 7.5, 7), 2, 2);      // fist
    p.drawLine(QPointF(4.0, 11.5), QPointF(9.5, 11.5));
    p.drawLine(QPointF(4.0, 13.5), QPointF(9.5, 13.5));
}

void WandPicture(QPainter& p)
{
    p.setPen(Pen(QColor(10, 10, 10), 2.4));
    p.drawLine(QPointF(2.5, 13.5), QPointF(10.0, 6.0));
    p.setPen(Pen(QColor(245, 245, 245), 2.4));
    p.drawLine(QPointF(10.0, 6.0), QPointF(11.8, 4.2));
    // Sparkles.
    const QColor gold(240, 190, 20);
    QPolygonF star;
    const QPointF c(12.5, 3.5);
    for (int i = 0; i < 8; ++i) {
        const qreal r = (i % 2 == 0) ? 3.4 : 1.0;
        const qreal angle = i * 3.14159265 / 4;
        star << c + QPointF(r * std::sin(angle), -r * std::cos(angle));
    }
    p.setPen(Pen(gold.darker(140), 0.6));
    p.setBrush(gold);
    p.drawPolygon(star);
    p.setPen(Pen(gold, 1.2));
    p.drawPoint(QPointF(6.5, 3.0));
    p.drawPoint(QPointF(14.0, 9.5));
}

void MagnifierPicture(QPainter& p)
{
    p.setPen(Pen(QColor(100, 60, 20), 3.0));
    p.drawLine(QPointF(10.0, 10.0), QPointF(14.3, 14.3));
    p.setPen(Pen(QColor(60, 60, 70), 1.6));
    p.setBrush(QColor(190, 225, 250, 220));
    p.drawEllipse(QPointF(6.5, 6.5), 4.8, 4.8);
    p.setPen(Pen(Qt::white, 1.0));
    p.drawArc(QRectF(3.5, 3.5, 6, 6), 100 * 16, 70 * 16);
}

void PagesPicture(QPainter& p)
{
    for (const QRectF& r : {QRectF(1.5, 1.5, 8, 10), QRectF(6.5, 4.5, 8, 10)}) {
        p.setPen(Pen(QColor(60, 60, 80)));
        p.setBrush(Qt::white);
        p.drawRect(r);
        p.setPen(Pen(QColor(90, 120, 200), 1.0));
        for (qreal y = r.top() + 2.5; y < r.bottom() - 1; y += 2)
            p.drawLine(QPointF(r.left() + 1.5, y), QPointF(r.right() - 1.5, y));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures RESOURCES-FOLDER\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    if (!root.mkpath(QStringLiteral("icons")) || !root.mkpath(QStringLiteral("buttons"))) {
        std::fprintf(stderr, "make_pictures: cannot create the picture folders\n");
        return 1;
    }

    struct Picture {
        const char* name;
        int width;
        int height;
        Draw draw;
        bool withDisabled;
    };
    const Picture pictures[] = {
        {"icons/new", 16, 16, NewIcon, false},
        {"icons/open", 16, 16, OpenIcon, false},
        {"icons/save", 16, 16, SaveIcon, false},
        {"icons/saveas", 16, 16, SaveAsIcon, false},
        {"icons/exit", 16, 16, ExitIcon, false},
        {"icons/help", 16, 16, HelpIcon, false},
        {"icons/about", 16, 16, AboutIcon, false},
        {"icons/compile", 16, 16, CompileIcon, false},
        {"buttons/add", 16, 16, PlusPicture, true},
        {"buttons/del", 16, 16, MinusPicture, true},
        {"buttons/clear", 16, 16, CrossPicture, true},
        {"buttons/film", 32, 24, FilmPicture, true},
        {"buttons/sort", 16, 16, HandPicture, true},
        {"buttons/apply", 16, 16, WandPicture, false},
        {"buttons/presets", 16, 16, MagnifierPicture, false},
        {"buttons/switch", 16, 16, PagesPicture, false},
    };

    int failures = 0;
    auto save = [&](const QImage& image, const QString& name) {
        const QString path = root.filePath(name + QStringLiteral(".png"));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
            ++failures;
        }
    };
    for (const Picture& picture : pictures) {
        const QImage image = Render(picture.width, picture.height, picture.draw);
        save(image, QString::fromLatin1(picture.name));
        if (picture.withDisabled)
            save(Disabled(image), QString::fromLatin1(picture.name) + QStringLiteral("-disabled"));
    }
    return failures == 0 ? 0 : 1;
}
