// Draws the viewer's splash and About picture (651 x 644 pixels: a dusk sky over a
// runway and an instrument panel of six round gauges) and writes it as a baseline JPEG
// with libjpeg. The result is committed as app/splash.jpg; run this tool again only to
// change the picture:
//   make-splash-picture app/splash.jpg
#include <jpeglib.h>

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 651;
constexpr int kHeight = 644;

void drawSky(QPainter& p) {
    QLinearGradient sky(0, 0, 0, 330);
    sky.setColorAt(0.0, QColor(8, 18, 48));
    sky.setColorAt(0.45, QColor(26, 58, 112));
    sky.setColorAt(0.8, QColor(92, 128, 178));
    sky.setColorAt(1.0, QColor(236, 170, 104));
    p.fillRect(0, 0, kWidth, 330, sky);

    // A few stars in the dark upper sky.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    for (int i = 0; i < 60; ++i) {
        const int x = (i * 97 + 31) % kWidth;
        const int y = (i * 53 + 17) % 130;
        const double r = 0.6 + (i % 3) * 0.4;
        p.drawEllipse(QPointF(x, y), r, r);
    }
}

void drawGround(QPainter& p) {
    QLinearGradient ground(0, 330, 0, 420);
    ground.setColorAt(0.0, QColor(58, 52, 44));
    ground.setColorAt(1.0, QColor(28, 30, 26));
    p.fillRect(0, 330, kWidth, 90, ground);

    // Runway in perspective with its centre line.
    QPainterPath runway;
    runway.moveTo(305, 330);
    runway.lineTo(346, 330);
    runway.lineTo(520, 420);
    runway.lineTo(131, 420);
    runway.closeSubpath();
    p.fillPath(runway, QColor(70, 72, 76));
    p.setPen(QPen(QColor(230, 230, 220), 2, Qt::DashLine));
    p.drawLine(QPointF(325.5, 332), QPointF(325.5, 420));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) {
        const double t = i / 7.0;
        p.setBrush(QColor(255, 214, 120));
        p.drawEllipse(QPointF(305 - t * 174, 330 + t * 90), 1.5 + t * 2, 1.5 + t * 2);
        p.drawEllipse(QPointF(346 + t * 174, 330 + t * 90), 1.5 + t * 2, 1.5 + t * 2);
    }
}

void drawAircraft(QPainter& p) {
    // A small high-wing aircraft climbing out, seen from the side.
    p.save();
    p.translate(470, 190);
    p.rotate(-12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 24, 36));
    QPainterPath body;
    body.moveTo(-70, 0);
    body.cubicTo(-40, -12, 40, -14, 62, -4);
    body.lineTo(66, 4);
    body.cubicTo(30, 10, -40, 8, -70, 4);
    body.closeSubpath();
    p.drawPath(body);
    p.drawRect(QRectF(-10, -16, 46, 5));  // wing
    QPainterPath fin;
    fin.moveTo(-70, 1);
    fin.lineTo(-78, -22);
    fin.lineTo(-62, -22);
    fin.lineTo(-52, -2);
    fin.closeSubpath();
    p.drawPath(fin);
    p.drawRect(QRectF(66, -10, 3, 22));  // propeller disc
    p.restore();
}

// One round gauge: bezel, face, scale ticks over `sweep` degrees and a needle at `value`
// (0 to 1 of the scale), with an arc in `arcColour` over the green range.
void drawGauge(QPainter& p, QPointF centre, double radius, double value, const QString& caption,
               QColor arcColour) {
    p.save();
    p.translate(centre);
    QRadialGradient bezel(QPointF(-radius * 0.3, -radius * 0.3), radius * 1.4);
    bezel.setColorAt(0.0, QColor(150, 150, 156));
    bezel.setColorAt(1.0, QColor(30, 30, 34));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(QPointF(0, 0), radius + 7, radius + 7);
    p.setBrush(QColor(14, 14, 16));
    p.drawEllipse(QPointF(0, 0), radius, radius);

    const double start = 225.0;  // degrees, counter-clockwise from 3 o'clock
    const double sweep = 270.0;
    p.setPen(QPen(arcColour, 5, Qt::SolidLine, Qt::FlatCap));
    const QRectF arcRect(-radius * 0.78, -radius * 0.78, radius * 1.56, radius * 1.56);
    p.drawArc(arcRect, qRound((start - sweep * 0.35) * 16), qRound(-sweep * 0.4 * 16));

    for (int i = 0; i <= 20; ++i) {
        const double a = qDegreesToRadians(start - sweep * i / 20.0);
        const double inner = radius * (i % 5 == 0 ? 0.72 : 0.82);
        p.setPen(QPen(QColor(235, 235, 235), i % 5 == 0 ? 2.2 : 1.2));
        p.drawLine(QPointF(std::cos(a) * inner, -std::sin(a) * inner),
                   QPointF(std::cos(a) * radius * 0.93, -std::sin(a) * radius * 0.93));
    }

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qRound(radius * 0.2));
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(235, 235, 235));
    p.drawText(QRectF(-radius, radius * 0.3, radius * 2, radius * 0.4), Qt::AlignCenter, caption);

    const double a = qDegreesToRadians(start - sweep * value);
    p.setPen(QPen(QColor(255, 250, 235), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-std::cos(a) * radius * 0.15, std::sin(a) * radius * 0.15),
               QPointF(std::cos(a) * radius * 0.8, -std::sin(a) * radius * 0.8));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 64));
    p.drawEllipse(QPointF(0, 0), radius * 0.09, radius * 0.09);
    p.restore();
}

void drawPanel(QPainter& p) {
    QLinearGradient panel(0, 420, 0, kHeight);
    panel.setColorAt(0.0, QColor(52, 54, 58));
    panel.setColorAt(1.0, QColor(24, 25, 28));
    p.fillRect(0, 420, kWidth, kHeight - 420, panel);
    // Glare shield edge.
    p.fillRect(0, 416, kWidth, 8, QColor(16, 16, 18));

    const QColor green(40, 190, 70);
    drawGauge(p, QPointF(112, 482), 47, 0.62, QStringLiteral("RPM"), green);
    drawGauge(p, QPointF(325, 482), 47, 0.45, QStringLiteral("KNOTS"), QColor(230, 230, 230));
    drawGauge(p, QPointF(538, 482), 47, 0.30, QStringLiteral("ALT"), QColor(90, 160, 230));
    drawGauge(p, QPointF(218, 590), 39, 0.55, QStringLiteral("EGT"), green);
    drawGauge(p, QPointF(432, 590), 39, 0.70, QStringLiteral("FUEL"), QColor(230, 180, 40));

    // Screws in the panel corners.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 110, 116));
    for (QPointF at : {QPointF(14, 436), QPointF(637, 436), QPointF(14, 630), QPointF(637, 630)})
        p.drawEllipse(at, 4, 4);
}

bool writeJpeg(const QImage& picture, const char* path) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-splash-picture OUT.jpg\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        drawSky(p);
        drawGround(p);
        drawAircraft(p);
        drawPanel(p);
    }
    if (!writeJpeg(picture, argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
