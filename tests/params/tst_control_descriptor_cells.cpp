// Start-up values of the control descriptor cells, and the record dump.
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"
#include "params/proxy_table_dump.h"

#include <QtTest>

#include <array>

namespace {
constexpr uint32_t NS = ProxyParameterNotSet;
// One cell's start-up value in records 0 to 24.
struct Column
{
    std::array<uint32_t, kProxyRecordCount> values;
};
}
Q_DECLARE_METATYPE(Column)

class tst_control_descriptor_cells : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void descriptorColumns_data();
    void descriptorColumns();
    void startUpHalvesAreEqual();
    void leadingCellsAreNotSet();
    void gapsBetweenDescriptorGroupsAreNotSet();
    void namedCellsMatchTheirControls();

    void dumpListsEveryCellWithBothHalves();
    void dumpOfUnknownRecordIsEmpty();
};

void tst_control_descriptor_cells::init()
{
    InitProxyParameterTable();
}

// For every descriptor group its first and last cell, every cell whose value
// differs in three or more records, the DAC slider positions and the two
// image-offset maxima (65535 there is a real maximum, not "not defined").
// A shifted row or swapped column shows up as a whole wrong column.
void tst_control_descriptor_cells::descriptorColumns_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<Column>("expected");
    //                       record:    0      1      2      3      4      5      6      7      8      9     10     11     12     13     14     15     16     17     18     19     20     21     22     23     24
    QTest::newRow("9 comboBox_BPCorrectionMode enabled")
        << 9 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("11 comboBox_BPCorrectionMode visible")
        << 11 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("12 comboBox_InterpolationMethod enabled")
        << 12 << Column{{    1,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("14 comboBox_InterpolationMethod visible")
        << 14 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("15 checkBox_2Tap enabled")
        << 15 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("17 checkBox_2Tap visible")
        << 17 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("18 checkBox_AGC enabled")
        << 18 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("20 checkBox_AGC visible")
        << 20 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("24 checkBox_DACFilter enabled")
        << 24 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("26 checkBox_DACFilter visible")
        << 26 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1}};
    QTest::newRow("27 checkBox_ApplyNUC enabled")
        << 27 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("29 checkBox_ApplyNUC visible")
        << 29 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("30 checkBox_Gain0 enabled")
        << 30 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     0,     1,     0}};
    QTest::newRow("31 checkBox_Gain0 value")
        << 31 << Column{{    0,     0,     0,     0,     0,     1,     1,     1,     0,     1,     0,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     0,     0,     1,     0}};
    QTest::newRow("32 checkBox_Gain0 visible")
        << 32 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1}};
    QTest::newRow("33 checkBox_Gain1 enabled")
        << 33 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     0,     1,     0}};
    QTest::newRow("34 checkBox_Gain1 value")
        << 34 << Column{{    0,     1,     1,     1,     1,     0,     0,     0,     1,     0,     1,     0,     0,     0,     0,     0,     1,     0,     0,     0,     1,     1,     0,     0,     0}};
    QTest::newRow("35 checkBox_Gain1 visible")
        << 35 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1}};
    QTest::newRow("36 checkBox_Gain2 enabled")
        << 36 << Column{{    0,     0,     0,     0,     0,     1,     0,     0,     1,     0,     1,     1,     0,     0,     0,     1,     0,     1,     1,     1,     1,     1,     0,     1,     0}};
    QTest::newRow("37 checkBox_Gain2 value")
        << 37 << Column{{    0,     0,     0,     0,     0,     1,     0,     0,     0,     0,     0,     1,     0,     0,     0,     1,     0,     1,     1,     1,     1,     0,     0,     1,     0}};
    QTest::newRow("38 checkBox_Gain2 visible")
        << 38 << Column{{    1,     0,     0,     0,     0,     1,     0,     0,     1,     0,     1,     1,     0,     1,     0,     1,     0,     1,     1,     1,     1,     1,     0,     1,     1}};
    QTest::newRow("39 checkBox_HDR enabled")
        << 39 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("41 checkBox_HDR visible")
        << 41 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("42 checkBox_InvertBW enabled")
        << 42 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("44 checkBox_InvertBW visible")
        << 44 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("45 checkBox_InvPClock enabled")
        << 45 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("47 checkBox_InvPClock visible")
        << 47 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("48 checkBox_BMP enabled")
        << 48 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("50 checkBox_BMP visible")
        << 50 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("51 checkBox_CSV enabled")
        << 51 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("53 checkBox_CSV visible")
        << 53 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("54 checkBox_JPG enabled")
        << 54 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("56 checkBox_JPG visible")
        << 56 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("57 checkBox_RAW enabled")
        << 57 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("59 checkBox_RAW visible")
        << 59 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("60 checkBox_SaveStream enabled")
        << 60 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("62 checkBox_SaveStream visible")
        << 62 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("63 checkBox_SizeA enabled")
        << 63 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("64 checkBox_SizeA value")
        << 64 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("65 checkBox_SizeA visible")
        << 65 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("66 checkBox_SizeB enabled")
        << 66 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("67 checkBox_SizeB value")
        << 67 << Column{{    0,     0,     1,     1,     0,     0,     1,     1,     0,     1,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("68 checkBox_SizeB visible")
        << 68 << Column{{    1,     1,     1,     1,     0,     0,     1,     1,     0,     1,     0,     0,     1,     1,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     1}};
    QTest::newRow("69 checkBox_UpCol enabled")
        << 69 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     0,     1,     0}};
    QTest::newRow("70 checkBox_UpCol value")
        << 70 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     0,     1,     1,     1,     1,     1,     0,     0,     1}};
    QTest::newRow("71 checkBox_UpCol visible")
        << 71 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1}};
    QTest::newRow("72 checkBox_UpRow enabled")
        << 72 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     0,     1,     0}};
    QTest::newRow("73 checkBox_UpRow value")
        << 73 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     0,     1,     1,     1,     1,     1,     0,     0,     1}};
    QTest::newRow("74 checkBox_UpRow visible")
        << 74 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1}};
    QTest::newRow("187 spinBox_AGC_Centre enabled")
        << 187 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("189 spinBox_AGC_Centre visible")
        << 189 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("190 spinBox_AGC_GainClip enabled")
        << 190 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("192 spinBox_AGC_GainClip visible")
        << 192 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("273 checkBox_Advanced_user enabled")
        << 273 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("275 checkBox_Advanced_user visible")
        << 275 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("342 checkBox_GMS enabled")
        << 342 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1}};
    QTest::newRow("343 checkBox_GMS value")
        << 343 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1}};
    QTest::newRow("344 checkBox_GMS visible")
        << 344 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     0}};
    QTest::newRow("365 checkBox_OAdj2 enabled")
        << 365 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("367 checkBox_OAdj2 visible")
        << 367 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("368 checkBox_OAdj1 enabled")
        << 368 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("370 checkBox_OAdj1 visible")
        << 370 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("371 checkBox_OAdj0 enabled")
        << 371 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("373 checkBox_OAdj0 visible")
        << 373 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("374 checkBox_MAdj2 enabled")
        << 374 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("376 checkBox_MAdj2 visible")
        << 376 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("377 checkBox_MAdj1 enabled")
        << 377 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("379 checkBox_MAdj1 visible")
        << 379 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("380 checkBox_MAdj0 enabled")
        << 380 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("382 checkBox_MAdj0 visible")
        << 382 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("383 checkBox_Ref1 enabled")
        << 383 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("385 checkBox_Ref1 visible")
        << 385 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("386 checkBox_Ref0 enabled")
        << 386 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("388 checkBox_Ref0 visible")
        << 388 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("389 checkBox_Enable_NUC2pt enabled")
        << 389 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("391 checkBox_Enable_NUC2pt visible")
        << 391 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("404 checkBox_Gamma ticked")
        << 404 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("406 checkBox_Gamma visible")
        << 406 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("75 checkBox_Enable_DAC_A enabled")
        << 75 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("76 checkBox_Enable_DAC_A visible")
        << 76 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("77 checkBox_Enable_DAC_B enabled")
        << 77 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("78 checkBox_Enable_DAC_B visible")
        << 78 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("79 checkBox_Enable_DAC_C enabled")
        << 79 << Column{{    0,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     0,     0,     0,     1,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("80 checkBox_Enable_DAC_C visible")
        << 80 << Column{{    1,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     1,     0,     0,     1,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("81 checkBox_Enable_DAC_D enabled")
        << 81 << Column{{    0,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("82 checkBox_Enable_DAC_D visible")
        << 82 << Column{{    1,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     1,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("83 label_AGC_Centre enabled")
        << 83 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("84 label_AGC_Centre visible")
        << 84 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("85 label_AGC_GainClip enabled")
        << 85 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("86 label_AGC_GainClip visible")
        << 86 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("88 label_ImageGain enabled")
        << 88 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("89 label_ImageGain visible")
        << 89 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("90 label_ImageOffset enabled")
        << 90 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("91 label_ImageOffset visible")
        << 91 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("92 label_FileName enabled")
        << 92 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("93 label_FileName visible")
        << 93 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("94 checkBox_Enable_TINT enabled")
        << 94 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("95 checkBox_Enable_TINT visible")
        << 95 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("104 lineEdit_FileName enabled")
        << 104 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("105 lineEdit_FileName visible")
        << 105 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("106 pushButton_SaveAllFrames enabled")
        << 106 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("107 pushButton_SaveAllFrames visible")
        << 107 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("108 pushButton_Take_Snapshot enabled")
        << 108 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("109 pushButton_Take_Snapshot visible")
        << 109 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("110 pushButton_Take_FPN_Reference enabled")
        << 110 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("111 pushButton_Take_FPN_Reference visible")
        << 111 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("112 pushButton_SetParameters enabled")
        << 112 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("113 pushButton_SetParameters visible")
        << 113 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("114 pushButton_SetWindow enabled")
        << 114 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("115 pushButton_SetWindow visible")
        << 115 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("116 pushButton_Start enabled")
        << 116 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("117 pushButton_Start visible")
        << 117 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("281 pushButton_Open_SavedImages_Folder enabled")
        << 281 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("282 pushButton_Open_SavedImages_Folder visible")
        << 282 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("87 label_CKDIV enabled")
        << 87 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("96 label_Voltage_ADD02 visible")
        << 96 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     0,     1,     0}};
    QTest::newRow("97 label_Voltage_ADD03 visible")
        << 97 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     0,     1,     0}};
    QTest::newRow("98 label_Voltage_ADD0C visible")
        << 98 << Column{{    0,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("99 label_Voltage_ADD0D visible")
        << 99 << Column{{    0,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("102 line visible")
        << 102 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("103 line_2 visible")
        << 103 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("393 comboBox_BayerMode enabled when non-zero")
        << 393 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("402 spinBox_Gamma enabled")
        << 402 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("403 spinBox_Gamma visible")
        << 403 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("122 horizontalSlider_DAC_A enabled")
        << 122 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("125 horizontalSlider_DAC_A value")
        << 125 << Column{{    0,  2400,  1070,  1477,   600,  2992,  3120,  3550,   555,  3550,   885,  2992,  3550,     0,  1685,  2624,  3410,  2992,  2304,  2800,  1030,   550,   511,  1516,     0}};
    QTest::newRow("126 horizontalSlider_DAC_A visible")
        << 126 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("127 horizontalSlider_DAC_B enabled")
        << 127 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("130 horizontalSlider_DAC_B value")
        << 130 << Column{{    0,  2720,  1960,  1800,  2920,  1340,  3560,  2890,  3550,  2890,  3460,  1210,  2890,     0,     0,  1425,  3420,  1290,  2936,  1536,  3170,  3580,     0,  2880,     0}};
    QTest::newRow("131 horizontalSlider_DAC_B visible")
        << 131 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("132 horizontalSlider_DAC_C enabled")
        << 132 << Column{{    0,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     0,     0,     0,     1,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("135 horizontalSlider_DAC_C value")
        << 135 << Column{{    0,     0,     0,  2100,     0,     0,  2300,  2100,     0,  2100,  3072,     0,  2100,     0,     0,     0,     0,     0,     0,     0,     0,  4095,     0,     0,     0}};
    QTest::newRow("136 horizontalSlider_DAC_C visible")
        << 136 << Column{{    1,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     1,     0,     0,     1,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("137 horizontalSlider_DAC_D enabled")
        << 137 << Column{{    0,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("140 horizontalSlider_DAC_D value")
        << 140 << Column{{    0,     0,     0,  2240,     0,     0,  1600,  2550,     0,  2550,  2560,     0,  2300,     0,     0,     0,     0,     0,     0,     0,     0,  2230,     0,     0,     0}};
    QTest::newRow("141 horizontalSlider_DAC_D visible")
        << 141 << Column{{    1,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     1,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("142 horizontalSlider_ImageGain enabled")
        << 142 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("146 horizontalSlider_ImageGain visible")
        << 146 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("147 horizontalSlider_ImageOffset enabled")
        << 147 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("148 horizontalSlider_ImageOffset max")
        << 148 << Column{{65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535}};
    QTest::newRow("151 horizontalSlider_ImageOffset visible")
        << 151 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("152 horizontalSlider_TINT enabled")
        << 152 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("154 horizontalSlider_TINT min")
        << 154 << Column{{   15,    15,    15,    15,     2,    15,    15,    15,     1,    15,     1,    15,    15,    15,     1,    15,     1,     1,    15,    15,    15,     1,     1,     1,    15}};
    QTest::newRow("156 horizontalSlider_TINT visible")
        << 156 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("157 spinBox_AcqX enabled")
        << 157 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("161 spinBox_AcqX visible")
        << 161 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,    NS,     1,     1}};
    QTest::newRow("162 spinBox_AcqY enabled")
        << 162 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0}};
    QTest::newRow("166 spinBox_AcqY visible")
        << 166 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,    NS,     1,     1}};
    QTest::newRow("167 spinBox_DAC_A enabled")
        << 167 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("171 spinBox_DAC_A visible")
        << 171 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("172 spinBox_DAC_B enabled")
        << 172 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("176 spinBox_DAC_B visible")
        << 176 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("177 spinBox_DAC_C enabled")
        << 177 << Column{{    0,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     0,     0,     0,     1,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("181 spinBox_DAC_C visible")
        << 181 << Column{{    1,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     1,     0,     0,     1,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("182 spinBox_DAC_D enabled")
        << 182 << Column{{    0,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     0,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("186 spinBox_DAC_D visible")
        << 186 << Column{{    1,     0,     0,     1,     0,     0,     1,     1,     0,     1,     1,     0,     1,     1,     0,     0,     0,     0,     0,     0,     0,     1,     0,     0,     0}};
    QTest::newRow("193 spinBox_CKDIV enabled")
        << 193 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0}};
    QTest::newRow("197 spinBox_CKDIV visible")
        << 197 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("198 spinBox_ImageGain enabled")
        << 198 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("202 spinBox_ImageGain visible")
        << 202 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("203 spinBox_ImageOffset enabled")
        << 203 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("204 spinBox_ImageOffset max")
        << 204 << Column{{65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535}};
    QTest::newRow("207 spinBox_ImageOffset visible")
        << 207 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("213 spinBox_TINT enabled")
        << 213 << Column{{    0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     0}};
    QTest::newRow("215 spinBox_TINT min")
        << 215 << Column{{   15,    15,    15,    15,     2,    15,    15,    15,     1,    15,     1,     2,    15,    15,     1,    15,     1,     1,    15,    15,    15,     1,     1,     1,    15}};
    QTest::newRow("217 spinBox_TINT visible")
        << 217 << Column{{    1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1,     1}};
    QTest::newRow("218 spinBox_XFirst enabled")
        << 218 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0}};
    QTest::newRow("222 spinBox_XFirst visible")
        << 222 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0}};
    QTest::newRow("223 spinBox_XLast enabled")
        << 223 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0}};
    QTest::newRow("227 spinBox_XLast visible")
        << 227 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0}};
    QTest::newRow("228 spinBox_YFirst enabled")
        << 228 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0}};
    QTest::newRow("232 spinBox_YFirst visible")
        << 232 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0}};
    QTest::newRow("233 spinBox_YLast enabled")
        << 233 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0}};
    QTest::newRow("237 spinBox_YLast visible")
        << 237 << Column{{    0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,     0,    NS,     0,     0}};
}

void tst_control_descriptor_cells::descriptorColumns()
{
    QFETCH(int, cell);
    QFETCH(Column, expected);
    for (int record = 0; record < kProxyRecordCount; ++record) {
        const QByteArray where = QByteArray("record ") + QByteArray::number(record);
        QVERIFY2(GetDefault(record, cell) == expected.values[record],
                 (where + ": default " + QByteArray::number(GetDefault(record, cell))
                  + ", expected " + QByteArray::number(expected.values[record])).constData());
        QVERIFY2(GetCurrent(record, cell) == expected.values[record],
                 (where + ": current " + QByteArray::number(GetCurrent(record, cell))).constData());
    }
}

void tst_control_descriptor_cells::startUpHalvesAreEqual()
{
    for (int record = 0; record < kProxyRecordCount; ++record)
        for (int cell = 0; cell < kProxyParameterCount; ++cell)
            QVERIFY2(GetDefault(record, cell) == GetCurrent(record, cell),
                     qPrintable(QString("record %1 cell %2").arg(record).arg(cell)));
}

void tst_control_descriptor_cells::leadingCellsAreNotSet()
{
    for (int record = 0; record < kProxyRecordCount; ++record)
        for (int cell = 0; cell <= 7; ++cell)
            QVERIFY2(GetDefault(record, cell) == NS && GetCurrent(record, cell) == NS,
                     qPrintable(QString("record %1 cell %2").arg(record).arg(cell)));
}

// The unused cells between the groups stay untouched: a group helper that
// writes one cell too many would show here.
void tst_control_descriptor_cells::gapsBetweenDescriptorGroupsAreNotSet()
{
    const int gaps[] = {21, 22, 23, 100, 101, 118, 119, 120, 121, 208, 209, 210, 211, 212, 392, 401};
    for (int record = 0; record < kProxyRecordCount; ++record)
        for (int cell : gaps)
            QVERIFY2(GetDefault(record, cell) == NS,
                     qPrintable(QString("record %1 cell %2").arg(record).arg(cell)));
}

// The working values that other parts read by name sit in the middle of
// their groups; spot-check them through the names in records that differ.
void tst_control_descriptor_cells::namedCellsMatchTheirControls()
{
    using namespace ProxyParameterId;
    QCOMPARE(GetDefault(12, TwoTap), 1u);
    QCOMPARE(GetDefault(9, TwoTap), 0u);
    QCOMPARE(GetDefault(5, Gain2), 1u);
    QCOMPARE(GetDefault(16, Gain1), 1u);
    QCOMPARE(GetDefault(16, UpCol), 0u);
    QCOMPARE(GetDefault(23, UpRow), 0u);
    QCOMPARE(GetDefault(2, SizeB), 1u);
    QCOMPARE(GetDefault(24, SizeA), 0u);
    QCOMPARE(GetDefault(3, SizeA), 1u);
    QCOMPARE(GetDefault(16, OAdj2), 1u);
    QCOMPARE(GetDefault(16, OAdj1), 0u);
    QCOMPARE(GetDefault(16, Ref0), 1u);
    QCOMPARE(GetDefault(0, AGCGainClip), 1u);
    QCOMPARE(GetDefault(13, GMS), 0u);
    QCOMPARE(GetDefault(1, GMS), 1u);
    QCOMPARE(GetDefault(14, Gamma), 0u);
    QCOMPARE(GetDefault(14, GammaEnabled), 1u);
    QCOMPARE(GetDefault(10, DAC_CSlider), 3072u);
    QCOMPARE(GetDefault(7, ImageGain), 1u);
    QCOMPARE(GetDefault(7, ImageOffset), 0u);
    QCOMPARE(GetDefault(7, ImageOffsetMax), 65535u);
    QCOMPARE(GetDefault(11, TINTMin), 2u);
    QCOMPARE(GetDefault(11, TINTSliderMin), 15u);
    QCOMPARE(GetDefault(22, AcqYEnabled), NS);
    QCOMPARE(GetDefault(14, BayerModeEnabled), 1u);
}

void tst_control_descriptor_cells::dumpListsEveryCellWithBothHalves()
{
    SetCurrent(9, ProxyParameterId::ImageGain, 7);
    const QStringList lines = QString::fromStdString(DumpProxyRecord(9)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), kProxyParameterCount);
    QCOMPARE(lines.at(0), QString("0: 65535 65535"));
    QCOMPARE(lines.at(15), QString("15: 1 1"));
    QCOMPARE(lines.at(148), QString("148: 65535 65535"));
    QCOMPARE(lines.at(201), QString("201: 1 7"));
    QCOMPARE(lines.at(408), QString("408: %1 %1").arg(GetDefault(9, 408)));
}

void tst_control_descriptor_cells::dumpOfUnknownRecordIsEmpty()
{
    QVERIFY(DumpProxyRecord(-1).empty());
    QVERIFY(DumpProxyRecord(kProxyRecordCount).empty());
}

QTEST_GUILESS_MAIN(tst_control_descriptor_cells)
#include "tst_control_descriptor_cells.moc"
