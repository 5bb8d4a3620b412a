// The libjpeg decoder of the splash and About picture.
#include <QtTest>

#include "app/jpeg_image.h"
#include "app/picture_view.h"

using namespace zp;

class TestJpegImage : public QObject {
    Q_OBJECT

  private slots:
    void decodeJpeg_embeddedPicture();
    void decodeJpeg_corruptGivesNullImage_data();
    void decodeJpeg_corruptGivesNullImage();
};

void TestJpegImage::decodeJpeg_embeddedPicture() {
    const QImage image = decodeJpeg(embeddedPictureData());
    QCOMPARE(image.size(), QSize(651, 644));
    QCOMPARE(image.format(), QImage::Format_RGB888);
    // Night sky at the top, instrument panel at the bottom; not libjpeg's grey fill.
    const QColor top = image.pixelColor(325, 5);
    QVERIFY2(top.blue() > top.red() && top.lightness() < 80, qPrintable(top.name()));
    const QColor bottom = image.pixelColor(5, 640);
    QVERIFY2(bottom.lightness() < 60, qPrintable(bottom.name()));
}

void TestJpegImage::decodeJpeg_corruptGivesNullImage_data() {
    const QByteArray good = embeddedPictureData();
    QVERIFY(good.size() > 4096);
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a jpeg") << QByteArray("GIF89a this is something else entirely");
    QTest::newRow("start marker only") << good.left(2);
    QTest::newRow("header only") << good.left(600);
    QTest::newRow("truncated scan") << good.left(good.size() / 2);
    QByteArray zeroed = good;
    zeroed.replace(200, 400, QByteArray(400, '\0'));  // inside the tables
    QTest::newRow("zeroed tables") << zeroed;
}

void TestJpegImage::decodeJpeg_corruptGivesNullImage() {
    QFETCH(QByteArray, data);
    QVERIFY(decodeJpeg(data).isNull());
}

QTEST_MAIN(TestJpegImage)
#include "test_jpeg_image.moc"
