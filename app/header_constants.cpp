// Values of the shared text constants.
#include "app/header_constants.h"

#include "params/proxy_lookup.h"

namespace HeaderConstants {

const QString FilterCsv = QStringLiteral("CSV files (*.csv)");

const QString BadPixelsFolder = QStringLiteral("/../BadPixelsFiles/");
const QString CalibrationProgramPath = QStringLiteral("/../Processing_Calibration/main.exe");
const QString CalibrationFolder = QStringLiteral("/../CalibrationFile/");
const QString CamfilesFolder = QStringLiteral("/../Camfiles/");
const QString WindowingCamfilesFolder = QStringLiteral("/../Camfiles/Windowing/");
const QString SavedConfigurationsFolder = QStringLiteral("/../SavedConfigurations/");
const QString I2CConfigurationsFolder = QStringLiteral("/../I2C_Configurations/");
const QString BackgroundsFolder = QStringLiteral("/Images/Backgrounds/");
const QString IconsFolder = QStringLiteral("/Images/Icons/");
const QString IllustrationsFolder = QStringLiteral("/Images/Illustrations/");
const QString LogosFolder = QStringLiteral("/Images/Logos/");
const QString LogsFolder = QStringLiteral("/Logs/");
const QString LutFolder = QStringLiteral("/LUT/");

const QString BootFileName = QStringLiteral("boot.txt");
const QString HistogramBackground = QStringLiteral("Background_grid.png");
const QString AdvancedHistogramBackground = QStringLiteral("Background_grid_Adv_Histo.png");
const QString IconPlay = QStringLiteral("Icon_Play.png");
const QString IconStop = QStringLiteral("Icon_Stop.png");
const QString IconRec = QStringLiteral("Icon_REC.png");
const QString IconSizeUp = QStringLiteral("Icon_SizeUp.png");
const QString WindowingIllustration = QStringLiteral("Windowing.png");
const QString LogoImage = QStringLiteral("Logo.png");
const QString LogoMiniImage = QStringLiteral("Logo_mini.png");
const QString LutCool = QStringLiteral("Cool.csv");
const QString LutFire = QStringLiteral("Fire.csv");
const QString VideoFileName = QStringLiteral("Video.avi");

const QString MakerWord = QStringLiteral("Vantrel");
const QString ProgramName = QStringLiteral("Kestivo");
const QString VersionText = QStringLiteral("5.25");
const QString WindowTitlePrefix = MakerWord + QStringLiteral(" - ") + ProgramName + QStringLiteral(" ");
const QString WindowTitleSuffix = QStringLiteral(" [*]");
const QString WindowTitle = WindowTitlePrefix + VersionText + WindowTitleSuffix;
// A reserved domain: the maker has no public site to point at.
const QString WebSiteAddress = QStringLiteral("https://www.vantrel.example/");
const QString FooterText = QStringLiteral("<html><head/><body><p>") + ProgramName
                           + QStringLiteral(" ") + VersionText + QStringLiteral(" &copy; ")
                           + MakerWord + QStringLiteral(" &ndash; <a href=\"") + WebSiteAddress
                           + QStringLiteral("\">www.vantrel.example</a></p></body></html>");
const QString ButtonHighlightStyle = QStringLiteral("QPushButton { background-color: #FFE5CC; }");

const QStringList BoardModelNames = {
    QStringLiteral("Digi board ..."), QStringLiteral("Arvex"), QStringLiteral("Belmor"),
    QStringLiteral("Belmor+"),        QStringLiteral("Corvane"), QStringLiteral("Dunstel"),
    QStringLiteral("Eskra")};

const QStringList InterpolationNames = {QStringLiteral("NN Type"), QStringLiteral("Fit Linear Type"),
                                        QStringLiteral("Cubic Type"), QStringLiteral("Lanczoz4 Type")};

const QStringList BPCorrectionModeNames = {
    QStringLiteral("No correction"),       QStringLiteral("Previous pixel"),
    QStringLiteral("Display Black pixel"), QStringLiteral("Display White pixel"),
    QStringLiteral("Display Blink pixel"), QStringLiteral("Line"),
    QStringLiteral("Mean Pixel")};

const QStringList BayerModeNames = {QStringLiteral("No Bayer"), QStringLiteral("RG2RGB"),
                                    QStringLiteral("BG2RGB"), QStringLiteral("GB2RGB"),
                                    QStringLiteral("GR2RGB")};

const QStringList FrameRateChoices = {
    QStringLiteral("Default frequency"), QStringLiteral("25 FPS"),  QStringLiteral("30 FPS"),
    QStringLiteral("50 FPS"),            QStringLiteral("60 FPS"),  QStringLiteral("100 FPS"),
    QStringLiteral("120 FPS"),           QStringLiteral("200 FPS"), QStringLiteral("Custom frequency")};

const QStringList DestinationBoardNames = {
    QStringLiteral("Destination Board"), QStringLiteral("Interface Board"),
    QStringLiteral("NUC Processing Board"), QStringLiteral("Shutter Board")};

const QStringList ParticularParameterNames = {QStringLiteral("Interframe"), QStringLiteral("Interline"),
                                              QStringLiteral("Configuration Mode"),
                                              QStringLiteral("Pipe Alignment")};

const QStringList SnapshotFormatNames = {QStringLiteral("BMP"), QStringLiteral("JPG"),
                                         QStringLiteral("PNG"), QStringLiteral("TIFF")};

const QStringList SaveAllFramesFormatNames = {QStringLiteral("BMP"), QStringLiteral("RAW")};

const QStringList SnapshotExtensions = {QStringLiteral(".bmp"), QStringLiteral(".jpeg"),
                                        QStringLiteral(".png"), QStringLiteral(".tif")};

// The texts come from the parameter library's list, which the board-number
// tables index: one copy, so a board number always selects the proxy it names.
const QStringList ProxyModelNames = [] {
    QStringList names;
    for (const char* szName : kProxyListNames)
        names << QString::fromLatin1(szName);
    return names;
}();

namespace {
ProxyControlLabelSet Labels(const char* p_szTint, const char* p_szAdd02, const char* p_szAdd03,
                            const char* p_szAdd0C, const char* p_szAdd0D)
{
    return {true,
            QString::fromUtf8(p_szTint),
            QString::fromUtf8(p_szAdd02),
            QString::fromUtf8(p_szAdd03),
            QString::fromUtf8(p_szAdd0C),
            QString::fromUtf8(p_szAdd0D)};
}
const ProxyControlLabelSet NoLabels = {false, QString(), QString(), QString(), QString(), QString()};
} // namespace

const ProxyControlLabelSet ProxyControlLabels[ProxyControlLabelCount] = {
    /* 0 */ NoLabels,
    /* 1  Z654    */ Labels("TINT", "GFID", "VSK", "", ""),
    /* 2  Z668    */ Labels("TINT", "GFID", "GSK", "", ""),
    /* 3  Z668P   */ Labels("TINT", "GFID", "GSK", "VDET", "VBUS"),
    /* 4  Z646    */ Labels("TINT", "GSK", "GFID", "", ""),
    /* 5  Z602    */ Labels("TINT", "GFID", "GSK", "", ""),
    /* 6  Y1436   */ Labels("TINT", "VSK", "GFID", "VBUS", "GSK"),
    /* 7  Y1437   */ Labels("TINT", "VSK", "GFID", "VBUS", "GSK"),
    /* 8  Z671    */ Labels("TINT", "GSK", "GFID", "", ""),
    /* 9  Y1437P  */ Labels("TINT", "VSK", "GFID", "VBUS", "GSK"),
    /* 10 Z671P   */ Labels("TINT", "GSK", "GFID", "VSK", "VBUS"),
    /* 11 Z647    */ Labels("TINT", "GFID", "GSK", "", ""),
    /* 12 Y1437P, 120 FPS */ Labels("TINT", "VSK", "GFID", "VBUS", "GSK"),
    /* 13 No Proxy */ Labels("TINT\nTEXP", "ADD02", "ADD03", "ADD0C", "ADD0D"),
    /* 14 X1550   */ Labels("TEXP\n(\xC2\xB5s)", "Black\nlevel", "", "", ""),
    /* 15 Z615    */ Labels("TINT", "GFID", "GSK", "", ""),
    /* 16 T230    */ Labels("TINT", "DAC02", "DAC03", "TEC", ""),
    /* 17 Z603    */ Labels("TINT", "GFID", "GSK", "", ""),
    /* 18 Z641    */ Labels("TINT", "GFID", "GSK", "", ""),
    /* 19 Z663    */ Labels("TINT", "GFID", "GSK", "", ""),
    /* 20 Y420    */ Labels("TINT", "GSK", "GFID", "", ""),
    /* 21 Z671Pv2 */ Labels("TINT", "GSK", "GFID", "VSK", "VBUS"),
    /* 22 */ NoLabels,
    /* 23 Z1641   */ Labels("TINT", "GSK", "GFID", "ADD0C", "ADD0D"),
    /* 24 Z633    */ Labels("TINT", "ADD02", "ADD03", "ADD0C", "ADD0D"),
};

const ProxyControlLabelSet* ProxyControlLabelsFor(int p_iProxyIndex)
{
    if (p_iProxyIndex < 0 || p_iProxyIndex >= ProxyControlLabelCount)
        return nullptr;
    const ProxyControlLabelSet& set = ProxyControlLabels[p_iProxyIndex];
    return set.Defined ? &set : nullptr;
}

} // namespace HeaderConstants

QString LastErrorText;
