// Cell numbers of the control descriptors of the main form.
#pragma once

// Each control of the form owns a small group of consecutive cells. The plain
// name of a group is its working value (ticked state, index or number); the
// other cells of the group carry the suffixes Enabled, Max, Min and Visible.
// Truth cells hold 0 or 1 and readers take any non-zero value as true.
namespace ProxyParameterId {
enum ControlDescriptorCell : int {
    // {enabled, value, visible}: check boxes, combo boxes, small spin boxes
    BPCorrectionModeEnabled = 9,      // comboBox_BPCorrectionMode
    BPCorrectionMode = 10,            //   BadPixelCorrectionMode of the frame path, 0..6
    BPCorrectionModeVisible = 11,
    InterpolationMethodEnabled = 12,  // comboBox_InterpolationMethod
    InterpolationMethod = 13,         //   display scaler, 0..3
    InterpolationMethodVisible = 14,
    TwoTapEnabled = 15,               // checkBox_2Tap
    TwoTap = 16,
    TwoTapVisible = 17,
    AGCEnabled = 18,                  // checkBox_AGC
    AGC = 19,                         //   automatic gain control on
    AGCVisible = 20,
    DACFilterEnabled = 24,            // checkBox_DACFilter
    DACFilter = 25,                   //   DAC-filter bit of the sensor registers
    DACFilterVisible = 26,
    ApplyNUCEnabled = 27,             // checkBox_ApplyNUC and checkBox_Enable_AverageFPN
    ApplyNUC = 28,                    //   FPN subtraction on
    ApplyNUCVisible = 29,
    Gain0Enabled = 30,                // checkBox_Gain0
    Gain0 = 31,
    Gain0Visible = 32,
    Gain1Enabled = 33,                // checkBox_Gain1
    Gain1 = 34,
    Gain1Visible = 35,
    Gain2Enabled = 36,                // checkBox_Gain2
    Gain2 = 37,
    Gain2Visible = 38,
    HDREnabled = 39,                  // checkBox_HDR
    HDR = 40,                         //   HDR state word of the frame path
    HDRVisible = 41,
    InvertBWEnabled = 42,             // checkBox_InvertBW
    InvertBW = 43,                    //   black-and-white inversion of the frame path
    InvertBWVisible = 44,
    InvPClockEnabled = 45,            // checkBox_InvPClock
    InvPClock = 46,
    InvPClockVisible = 47,
    SaveBMPEnabled = 48,              // checkBox_BMP
    SaveBMP = 49,
    SaveBMPVisible = 50,
    SaveCSVEnabled = 51,              // checkBox_CSV
    SaveCSV = 52,
    SaveCSVVisible = 53,
    SaveJPGEnabled = 54,              // checkBox_JPG
    SaveJPG = 55,
    SaveJPGVisible = 56,
    SaveRAWEnabled = 57,              // checkBox_RAW
    SaveRAW = 58,
    SaveRAWVisible = 59,
    SaveStreamEnabled = 60,           // checkBox_SaveStream
    SaveStream = 61,                  //   stream saving on
    SaveStreamVisible = 62,
    SizeAEnabled = 63,                // checkBox_SizeA
    SizeA = 64,                       //   Size A window bit of the sensor registers
    SizeAVisible = 65,
    SizeBEnabled = 66,                // checkBox_SizeB
    SizeB = 67,                       //   Size B window bit of the sensor registers
    SizeBVisible = 68,
    UpColEnabled = 69,                // checkBox_UpCol
    UpCol = 70,                       //   column flip
    UpColVisible = 71,
    UpRowEnabled = 72,                // checkBox_UpRow
    UpRow = 73,                       //   row flip
    UpRowVisible = 74,

    // {enabled, visible}: labels, line edits, push buttons. For the four DAC
    // rows the first cell is also the tick of the DAC's enable check box.
    EnableDAC_A = 75,                 // checkBox_Enable_DAC_A and label_ADD02
    EnableDAC_AVisible = 76,
    EnableDAC_B = 77,                 // checkBox_Enable_DAC_B and label_ADD03
    EnableDAC_BVisible = 78,
    EnableDAC_C = 79,                 // checkBox_Enable_DAC_C and label_ADD0C
    EnableDAC_CVisible = 80,
    EnableDAC_D = 81,                 // checkBox_Enable_DAC_D and label_ADD0D
    EnableDAC_DVisible = 82,
    AGCCentreLabelEnabled = 83,       // label_AGC_Centre
    AGCCentreLabelVisible = 84,
    AGCGainClipLabelEnabled = 85,     // label_AGC_GainClip
    AGCGainClipLabelVisible = 86,
    CKDIVLabelEnabled = 87,           // label_CKDIV (one cell)
    ImageGainLabelEnabled = 88,       // label_ImageGain
    ImageGainLabelVisible = 89,
    ImageOffsetLabelEnabled = 90,     // label_ImageOffset
    ImageOffsetLabelVisible = 91,
    FileNameLabelEnabled = 92,        // label_FileName
    FileNameLabelVisible = 93,
    TINTLabelEnabled = 94,            // checkBox_Enable_TINT and label_TINT
    TINTLabelVisible = 95,
    VoltageADD02LabelVisible = 96,    // label_Voltage_ADD02 (one cell)
    VoltageADD03LabelVisible = 97,    // label_Voltage_ADD03
    VoltageADD0CLabelVisible = 98,    // label_Voltage_ADD0C
    VoltageADD0DLabelVisible = 99,    // label_Voltage_ADD0D
    LineVisible = 102,                // line (one cell)
    Line2Visible = 103,               // line_2 (one cell)
    FileNameEditEnabled = 104,        // lineEdit_FileName
    FileNameEditVisible = 105,
    SaveAllFramesButtonEnabled = 106, // pushButton_SaveAllFrames
    SaveAllFramesButtonVisible = 107,
    TakeSnapshotButtonEnabled = 108,  // pushButton_Take_Snapshot
    TakeSnapshotButtonVisible = 109,
    TakeFPNReferenceButtonEnabled = 110, // pushButton_Take_FPN_Reference
    TakeFPNReferenceButtonVisible = 111,
    SetParametersButtonEnabled = 112, // pushButton_SetParameters
    SetParametersButtonVisible = 113,
    SetWindowButtonEnabled = 114,     // pushButton_SetWindow
    SetWindowButtonVisible = 115,
    StartButtonEnabled = 116,         // pushButton_Start
    StartButtonVisible = 117,

    // {enabled, max, min, value, visible}: sliders and spin boxes
    DAC_ASliderEnabled = 122,         // horizontalSlider_DAC_A
    DAC_ASliderMax = 123,
    DAC_ASliderMin = 124,
    DAC_ASlider = 125,
    DAC_ASliderVisible = 126,
    DAC_BSliderEnabled = 127,         // horizontalSlider_DAC_B
    DAC_BSliderMax = 128,
    DAC_BSliderMin = 129,
    DAC_BSlider = 130,
    DAC_BSliderVisible = 131,
    DAC_CSliderEnabled = 132,         // horizontalSlider_DAC_C
    DAC_CSliderMax = 133,
    DAC_CSliderMin = 134,
    DAC_CSlider = 135,
    DAC_CSliderVisible = 136,
    DAC_DSliderEnabled = 137,         // horizontalSlider_DAC_D
    DAC_DSliderMax = 138,
    DAC_DSliderMin = 139,
    DAC_DSlider = 140,
    DAC_DSliderVisible = 141,
    ImageGainSliderEnabled = 142,     // horizontalSlider_ImageGain
    ImageGainSliderMax = 143,
    ImageGainSliderMin = 144,
    ImageGainSlider = 145,
    ImageGainSliderVisible = 146,
    ImageOffsetSliderEnabled = 147,   // horizontalSlider_ImageOffset
    ImageOffsetSliderMax = 148,       //   65535 here is a real maximum
    ImageOffsetSliderMin = 149,
    ImageOffsetSlider = 150,
    ImageOffsetSliderVisible = 151,
    TINTSliderEnabled = 152,          // horizontalSlider_TINT
    TINTSliderMax = 153,
    TINTSliderMin = 154,
    TINTSlider = 155,
    TINTSliderVisible = 156,
    AcqXEnabled = 157,                // spinBox_AcqX
    AcqXMax = 158,
    AcqXMin = 159,
    AcqX = 160,
    AcqXVisible = 161,
    AcqYEnabled = 162,                // spinBox_AcqY
    AcqYMax = 163,
    AcqYMin = 164,
    AcqY = 165,
    AcqYVisible = 166,
    DAC_AEnabled = 167,               // spinBox_DAC_A
    DAC_AMax = 168,
    DAC_AMin = 169,
    DAC_A = 170,                      //   ADD02
    DAC_AVisible = 171,
    DAC_BEnabled = 172,               // spinBox_DAC_B
    DAC_BMax = 173,
    DAC_BMin = 174,
    DAC_B = 175,                      //   ADD03
    DAC_BVisible = 176,
    DAC_CEnabled = 177,               // spinBox_DAC_C
    DAC_CMax = 178,
    DAC_CMin = 179,
    DAC_C = 180,                      //   ADD0C
    DAC_CVisible = 181,
    DAC_DEnabled = 182,               // spinBox_DAC_D
    DAC_DMax = 183,
    DAC_DMin = 184,
    DAC_D = 185,                      //   ADD0D
    DAC_DVisible = 186,

    // {enabled, value, visible}: the AGC spin boxes
    AGCCentreEnabled = 187,           // spinBox_AGC_Centre
    AGCCentre = 188,
    AGCCentreVisible = 189,
    AGCGainClipEnabled = 190,         // spinBox_AGC_GainClip
    AGCGainClip = 191,
    AGCGainClipVisible = 192,

    // {enabled, max, min, value, visible}
    CKDIVEnabled = 193,               // spinBox_CKDIV
    CKDIVMax = 194,
    CKDIVMin = 195,
    CKDIV = 196,                      //   clock divider register value
    CKDIVVisible = 197,               //   never applied to the control
    ImageGainEnabled = 198,           // spinBox_ImageGain
    ImageGainMax = 199,
    ImageGainMin = 200,
    ImageGain = 201,                  //   gain of the frame path's offset-gain step
    ImageGainVisible = 202,
    ImageOffsetEnabled = 203,         // spinBox_ImageOffset
    ImageOffsetMax = 204,             //   65535 here is a real maximum
    ImageOffsetMin = 205,
    ImageOffset = 206,                //   offset of the frame path's offset-gain step
    ImageOffsetVisible = 207,
    TINTEnabled = 213,                // spinBox_TINT
    TINTMax = 214,
    TINTMin = 215,                    //   also written back to the sensor at disconnection
    TINT = 216,                       //   integration time register value
    TINTVisible = 217,
    XFirstEnabled = 218,              // spinBox_XFirst
    XFirstMax = 219,
    XFirstMin = 220,
    XFirst = 221,
    XFirstVisible = 222,
    XLastEnabled = 223,               // spinBox_XLast
    XLastMax = 224,
    XLastMin = 225,
    XLast = 226,
    XLastVisible = 227,
    YFirstEnabled = 228,              // spinBox_YFirst
    YFirstMax = 229,
    YFirstMin = 230,
    YFirst = 231,
    YFirstVisible = 232,
    YLastEnabled = 233,               // spinBox_YLast
    YLastMax = 234,
    YLastMin = 235,
    YLast = 236,
    YLastVisible = 237,

    // {enabled, value, visible}
    AdvancedUserEnabled = 273,        // checkBox_Advanced_user
    AdvancedUser = 274,
    AdvancedUserVisible = 275,

    // {enabled, visible}; the control set-up reads the current halves
    OpenSavedImagesFolderButtonEnabled = 281, // pushButton_Open_SavedImages_Folder
    OpenSavedImagesFolderButtonVisible = 282,

    // {enabled, value, visible}: GMS word and its bits
    GMSEnabled = 342,                 // checkBox_GMS
    GMS = 343,
    GMSVisible = 344,
    OAdj2Enabled = 365,               // checkBox_OAdj2
    OAdj2 = 366,
    OAdj2Visible = 367,
    OAdj1Enabled = 368,               // checkBox_OAdj1
    OAdj1 = 369,
    OAdj1Visible = 370,
    OAdj0Enabled = 371,               // checkBox_OAdj0
    OAdj0 = 372,
    OAdj0Visible = 373,
    MAdj2Enabled = 374,               // checkBox_MAdj2
    MAdj2 = 375,
    MAdj2Visible = 376,
    MAdj1Enabled = 377,               // checkBox_MAdj1
    MAdj1 = 378,
    MAdj1Visible = 379,
    MAdj0Enabled = 380,               // checkBox_MAdj0
    MAdj0 = 381,
    MAdj0Visible = 382,
    Ref1Enabled = 383,                // checkBox_Ref1
    Ref1 = 384,
    Ref1Visible = 385,
    Ref0Enabled = 386,                // checkBox_Ref0
    Ref0 = 387,
    Ref0Visible = 388,
    NUC2ptEnabled = 389,              // checkBox_Enable_NUC2pt
    NUC2pt = 390,                     //   two-point non-uniformity correction on
    NUC2ptVisible = 391,

    // single cells
    BayerModeEnabled = 393,           // comboBox_BayerMode: enabled when non-zero
    GammaSpinBoxEnabled = 402,        // spinBox_Gamma
    GammaSpinBoxVisible = 403,

    // {ticked, enabled, visible}: the gamma check box has its own order
    Gamma = 404,                      // checkBox_Gamma
    GammaEnabled = 405,
    GammaVisible = 406,
};
}
