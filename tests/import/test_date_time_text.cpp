// The time field conversion under injected regional settings, its error text, and
// the decoding of a date-time back into hours, minutes and seconds.
#include <QtTest>
#include <cmath>

#include "import/date_time_text.h"

using zp::DateTimeLocale;

namespace {

DateTimeLocale english() {
    DateTimeLocale l;
    l.dateOrder = DateTimeLocale::DateOrder::MonthDayYear;
    l.dateSeparator = "/";
    l.timeSeparator = ":";
    l.decimalSeparator = ".";
    l.currentYear = 2024;
    return l;
}

// German settings: day first, "." between date parts, "," as the decimal separator.
DateTimeLocale german() {
    DateTimeLocale l = english();
    l.dateOrder = DateTimeLocale::DateOrder::DayMonthYear;
    l.dateSeparator = ".";
    l.decimalSeparator = ",";
    l.amText = "";
    l.pmText = "";
    return l;
}

// Settings whose own time separator is the point (as some Nordic settings have).
DateTimeLocale pointTime() {
    DateTimeLocale l = german();
    l.timeSeparator = ".";
    return l;
}

double dayFraction(int h, int m, int s, int ms = 0) {
    return static_cast<double>(((h * 60 + m) * 60 + s) * 1000 + ms) / 86400000.0;
}

}  // namespace

Q_DECLARE_METATYPE(DateTimeLocale)

class TestDateTimeText : public QObject {
    Q_OBJECT

  private slots:
    void textToDateTime_accepts_data() {
        QTest::addColumn<DateTimeLocale>("locale");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");
        const DateTimeLocale en = english();
        QTest::newRow("h:m:s") << en << QByteArray("10:00:05") << dayFraction(10, 0, 5);
        QTest::newRow("blanks everywhere")
            << en << QByteArray("  10 : 00 : 05  ") << dayFraction(10, 0, 5);
        QTest::newRow("h:m") << en << QByteArray("10:00") << dayFraction(10, 0, 0);
        QTest::newRow("hour only") << en << QByteArray("10") << dayFraction(10, 0, 0);
        QTest::newRow("midnight") << en << QByteArray("00:00:00") << 0.0;
        QTest::newRow("last second") << en << QByteArray("23:59:59") << dayFraction(23, 59, 59);
        QTest::newRow("single digits") << en << QByteArray("1:2:3") << dayFraction(1, 2, 3);
        QTest::newRow("milliseconds")
            << en << QByteArray("10:00:05.250") << dayFraction(10, 0, 5, 250);
        QTest::newRow("milliseconds as number")
            << en << QByteArray("10:00:05.5") << dayFraction(10, 0, 5, 5);
        QTest::newRow("pm after") << en << QByteArray("1:30:00 PM") << dayFraction(13, 30, 0);
        QTest::newRow("am before") << en << QByteArray("am 12:15") << dayFraction(0, 15, 0);
        QTest::newRow("12 pm is noon") << en << QByteArray("12:00 pm") << dayFraction(12, 0, 0);
        QTest::newRow("leading zeros") << en << QByteArray("0010:00:05") << dayFraction(10, 0, 5);
        QTest::newRow("date then time")
            << en << QByteArray("1/2/1900 06:00") << 3.0 + dayFraction(6, 0, 0);
        QTest::newRow("date only") << en << QByteArray("12/30/1899") << 0.0;
        QTest::newRow("date without year") << en << QByteArray("5/12") << 45424.0;
        QTest::newRow("two-digit year") << en << QByteArray("5/12/24") << 45424.0;
        QTest::newRow("date before 1899")
            << en << QByteArray("12/29/1899 06:00") << -1.0 - dayFraction(6, 0, 0);
        const DateTimeLocale de = german();
        QTest::newRow("de colon") << de << QByteArray("14:05:09") << dayFraction(14, 5, 9);
        QTest::newRow("de decimal comma never in a field")
            << de << QByteArray("14:05:09") << dayFraction(14, 5, 9);
        QTest::newRow("de date day first") << de << QByteArray("12.05.2024") << 45424.0;
        const DateTimeLocale dot = pointTime();
        QTest::newRow("dot locale colon") << dot << QByteArray("10:00:05") << dayFraction(10, 0, 5);
        QTest::newRow("dot locale own separator")
            << dot << QByteArray("10.00.05") << dayFraction(10, 0, 5);
    }
    void textToDateTime_accepts() {
        QFETCH(DateTimeLocale, locale);
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        double got = -1;
        QVERIFY(zp::textToDateTime(text.toStdString(), locale, got));
        QCOMPARE(got, expected);
    }

    void textToDateTime_rejects_data() {
        QTest::addColumn<DateTimeLocale>("locale");
        QTest::addColumn<QByteArray>("text");
        const DateTimeLocale en = english();
        for (const char* t : {"25:00:00",
                              "24:00:00",
                              "10:60:00",
                              "10:00:60",
                              "10-00-05",
                              "10:00:05\t",
                              "10:00:05\n",
                              "10:00:05\r",
                              "10:00:05x",
                              "",
                              " ",
                              ":",
                              "10:",
                              "10::05",
                              "10:00:05.",
                              "10:00:05.1000",
                              "x10:00",
                              "13:00 PM",
                              "0:30 AM",
                              "1000:00",
                              "99999",
                              "10:00 05",
                              "2/30/2024 10:00",
                              "1/2/2024 x"})
            QTest::newRow(
                QByteArray(t).replace('\t', "\\t").replace('\n', "\\n").replace('\r', "\\r"))
                << en << QByteArray(t);
        QTest::newRow("de dot is not a time separator") << german() << QByteArray("10.00.05");
    }
    void textToDateTime_rejects() {
        QFETCH(DateTimeLocale, locale);
        QFETCH(QByteArray, text);
        double got = -1;
        QVERIFY(!zp::textToDateTime(text.toStdString(), locale, got));
    }

    void invalidDateTimeMessage_text() {
        QCOMPARE(zp::invalidDateTimeMessage(QStringLiteral("25:00:00")),
                 QStringLiteral("'25:00:00' is not a valid date and time"));
        QCOMPARE(zp::invalidDateTimeMessage(QStringLiteral("10:00:05\n")),
                 QStringLiteral("'10:00:05\n' is not a valid date and time"));
    }

    // Every second of the day survives the trip through the conversion and back.
    void decodeTime_everySecondOfTheDay() {
        const DateTimeLocale en = english();
        for (int s = 0; s < 86400; ++s) {
            const zp::TimeOfDay t = zp::decodeTime(s / 86400.0);
            if (t.hour * 3600 + t.minute * 60 + t.second != s || t.millisecond != 0)
                QFAIL(qPrintable(QStringLiteral("second %1").arg(s)));
            char text[16];
            std::snprintf(text, sizeof text, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
            double x = -1;
            QVERIFY(zp::textToDateTime(text, en, x));
            QCOMPARE(x, s / 86400.0);
        }
    }

    void decodeTime_roundsToMilliseconds_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("millisecond");
        QTest::newRow("just below a second") << (36005.0 - 0.0004) / 86400.0 << 10 << 0 << 5 << 0;
        QTest::newRow("half a millisecond up") << (36005.0 + 0.0006) / 86400.0 << 10 << 0 << 5 << 1;
        QTest::newRow("date part dropped") << 45424.0 + dayFraction(6, 7, 8) << 6 << 7 << 8 << 0;
        QTest::newRow("negative date") << -1.0 - dayFraction(6, 0, 0) << 6 << 0 << 0 << 0;
        QTest::newRow("not a number") << std::nan("") << 0 << 0 << 0 << 0;
    }
    void decodeTime_roundsToMilliseconds() {
        QFETCH(double, value);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(int, second);
        QFETCH(int, millisecond);
        const zp::TimeOfDay t = zp::decodeTime(value);
        QCOMPARE(int(t.hour), hour);
        QCOMPARE(int(t.minute), minute);
        QCOMPARE(int(t.second), second);
        QCOMPARE(int(t.millisecond), millisecond);
    }

    // Separators, order and designators come from the Qt locale's short formats.
    void fromQLocale_readsSeparators() {
        const DateTimeLocale de = DateTimeLocale::fromQLocale(QLocale(QLocale::German));
        QCOMPARE(de.dateOrder, DateTimeLocale::DateOrder::DayMonthYear);
        QCOMPARE(de.dateSeparator, std::string("."));
        QCOMPARE(de.timeSeparator, std::string(":"));
        QCOMPARE(de.decimalSeparator, std::string(","));
        const DateTimeLocale us =
            DateTimeLocale::fromQLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(us.dateOrder, DateTimeLocale::DateOrder::MonthDayYear);
        QCOMPARE(us.dateSeparator, std::string("/"));
        QCOMPARE(us.amText, std::string("AM"));
        const DateTimeLocale fi = DateTimeLocale::fromQLocale(QLocale(QLocale::Finnish));
        QCOMPARE(fi.timeSeparator, std::string("."));
        double x = -1;
        QVERIFY(zp::textToDateTime("14:05:09", fi, x));  // the colon always works
        QCOMPARE(x, dayFraction(14, 5, 9));
        const DateTimeLocale jp = DateTimeLocale::fromQLocale(QLocale(QLocale::Japanese));
        QCOMPARE(jp.dateOrder, DateTimeLocale::DateOrder::YearMonthDay);
    }

    // The C locale's short date "d MMM yyyy" has no numeric separator; dates there read
    // as month/day/year with "/" instead of never converting.
    void fromQLocale_wordMonthReadsEnglishDates() {
        DateTimeLocale c = DateTimeLocale::fromQLocale(QLocale::c());
        QCOMPARE(c.dateOrder, DateTimeLocale::DateOrder::MonthDayYear);
        QCOMPARE(c.dateSeparator, std::string("/"));
        c.currentYear = 2024;
        double withDate = 0, timeOnly = 0;
        QVERIFY(zp::textToDateTime("05/12/2024 14:05:09", c, withDate));
        QVERIFY(zp::textToDateTime("14:05:09", c, timeOnly));
        QCOMPARE(withDate - timeOnly, double(QDate(1899, 12, 30).daysTo(QDate(2024, 5, 12))));
    }
};

QTEST_GUILESS_MAIN(TestDateTimeText)
#include "test_date_time_text.moc"
