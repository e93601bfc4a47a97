#include "panelkit/widgets/tenvoappstyle.h"

#include "nwtest.h"
#include "testenv.h"

#include <QApplication>
#include <QStyleFactory>

class TestTenvoAppStyle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nwIsolateTestEnvironment(); }

    void proxiesBaseStyle()
    {
        QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion"));
        TenvoAppStyle style(fusion, QStringLiteral("CANopen Nodewright"));
        QCOMPARE(style.pixelMetric(QStyle::PM_ToolBarIconSize), 24);
        QCOMPARE(style.styleHint(QStyle::SH_DialogButtonBox_ButtonsHaveIcons), 0);
        QCOMPARE(style.pixelMetric(QStyle::PM_ButtonMargin),
                 fusion->pixelMetric(QStyle::PM_ButtonMargin));
    }

    void accentPerEdition_data()
    {
        QTest::addColumn<QString>("edition");
        QTest::addColumn<QString>("otherEdition");
        QTest::addRow("CANopen") << "CANopen Nodewright" << QString("J1939 Nodewright");
        QTest::addRow("J1939") << "J1939 Nodewright" << QString("CAN Nodewright");
        QTest::addRow("CAN") << "CAN Nodewright" << QString("EnergyBus Packwright");
        QTest::addRow("EnergyBus") << "EnergyBus Packwright" << QString("CANopen Nodewright");
    }

    void accentPerEdition()
    {
        QFETCH(QString, edition);
        QFETCH(QString, otherEdition);
        TenvoAppStyle style(QStyleFactory::create(QStringLiteral("Fusion")), edition);
        QCOMPARE(style.edition(), edition);
        QVERIFY(style.accentColor() != TenvoAppStyle::accentColorFor(otherEdition));
        const QPalette palette = style.standardPalette();
        QCOMPARE(palette.color(QPalette::Active, QPalette::Highlight), style.accentColor());
        QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight), style.accentColor());
        QPalette polished = QApplication::palette();
        style.polish(polished);
        QCOMPARE(polished.color(QPalette::Active, QPalette::Highlight), style.accentColor());
    }
};

NW_TEST_MAIN(TestTenvoAppStyle)
#include "tst_tenvoappstyle.moc"
