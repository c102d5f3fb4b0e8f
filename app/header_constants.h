// The shared text constants of the application: folders, file names, titles, combo-box items.
#pragma once

#include <QString>
#include <QStringList>

namespace HeaderConstants {

// Filter of the file dialogs that open CSV files.
extern const QString FilterCsv;

// Folders, appended to the application folder (which has no trailing separator).
extern const QString BadPixelsFolder;
extern const QString CalibrationProgramPath;
extern const QString CalibrationFolder;
extern const QString CamfilesFolder;
extern const QString WindowingCamfilesFolder;
extern const QString SavedConfigurationsFolder;
extern const QString I2CConfigurationsFolder;
extern const QString BackgroundsFolder;
extern const QString IconsFolder;
extern const QString IllustrationsFolder;
extern const QString LogosFolder;
extern const QString LogsFolder;
extern const QString LutFolder;

// File names inside those folders.
extern const QString BootFileName;
extern const QString HistogramBackground;
extern const QString AdvancedHistogramBackground;
extern const QString IconPlay;
extern const QString IconStop;
extern const QString IconRec;
extern const QString IconSizeUp;
extern const QString WindowingIllustration;
extern const QString LogoImage;
extern const QString LogoMiniImage;
extern const QString LutCool;
extern const QString LutFire;
extern const QString VideoFileName;

// Names and texts.
extern const QString MakerWord;          // "Vantrel"
extern const QString ProgramName;        // "Kestivo"
extern const QString VersionText;        // "5.25"
extern const QString WindowTitlePrefix;  // "Vantrel - Kestivo "
extern const QString WindowTitleSuffix;  // " [*]"
extern const QString WindowTitle;        // "Vantrel - Kestivo 5.25 [*]"
extern const QString WebSiteAddress;
extern const QString FooterText;         // rich text notice with a link to the web site
extern const QString ButtonHighlightStyle;

// Combo-box item lists, index 0 first.
extern const QStringList BoardModelNames;
extern const QStringList InterpolationNames;
extern const QStringList BPCorrectionModeNames;
extern const QStringList BayerModeNames;
extern const QStringList FrameRateChoices;
extern const QStringList DestinationBoardNames;
extern const QStringList ParticularParameterNames;
extern const QStringList SnapshotFormatNames;
extern const QStringList SaveAllFramesFormatNames;
extern const QStringList SnapshotExtensions;
extern const QStringList ProxyModelNames;

// Captions of the five sensor-register rows for one proxy configuration.
// Defined is false where the configuration sets no captions (the labels keep
// whatever they show).
struct ProxyControlLabelSet
{
    bool Defined;
    QString Tint;
    QString Add02;
    QString Add03;
    QString Add0C;
    QString Add0D;
};

constexpr int ProxyControlLabelCount = 25;

// Indexed by ProxyIndex (0..24).
extern const ProxyControlLabelSet ProxyControlLabels[ProxyControlLabelCount];

// The captions for p_iProxyIndex, or nullptr when that index has none or is out of range.
const ProxyControlLabelSet* ProxyControlLabelsFor(int p_iProxyIndex);

} // namespace HeaderConstants

// The last error text of the connection, initialisation, parameter sending,
// windowing and bad-pixel upload; written before it is shown. GUI thread only.
extern QString LastErrorText;
