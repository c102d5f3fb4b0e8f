// Simulation.ini through QSettings.
#include "sim/core/simulation_settings.h"

#include "app/app_paths.h"

#include <QDebug>
#include <QHash>
#include <QSettings>

#include <mutex>

namespace sim {

namespace {
QString Key(BoardKind p_Kind, const char* p_sName)
{
    return BoardKindName(p_Kind) + QLatin1Char('/') + QLatin1String(p_sName);
}

// The getters read the file at every call: a value that is ignored is warned
// about once, until the key holds another value.
std::mutex g_WarnedMutex;
QHash<QString, QString> g_Warned;   // file + key -> the value last warned about

void Forget(const QString& p_sFile, const QString& p_sKey)
{
    std::lock_guard<std::mutex> lock(g_WarnedMutex);
    g_Warned.remove(p_sFile + QLatin1Char('\n') + p_sKey);
}

void WarnIgnored(const QString& p_sFile, const QString& p_sKey, const QString& p_sValue, const QString& p_sDefault)
{
    {
        std::lock_guard<std::mutex> lock(g_WarnedMutex);
        const QString sSlot = p_sFile + QLatin1Char('\n') + p_sKey;
        const auto it = g_Warned.constFind(sSlot);
        if (it != g_Warned.constEnd() && it.value() == p_sValue)
            return;
        g_Warned.insert(sSlot, p_sValue);
    }
    qWarning().noquote() << QStringLiteral("%1: ignored %2=\"%3\", using the default %4")
                                .arg(p_sFile, p_sKey, p_sValue, p_sDefault);
}

// The key's text as written in the file (a list, as "a,b", is joined back).
QString RawText(const QVariant& p_Value)
{
    if (p_Value.type() == QVariant::StringList)
        return p_Value.toStringList().join(QLatin1Char(','));
    return p_Value.toString();
}

bool ReadBool(const QString& p_sFile, const QString& p_sKey, bool p_bDefault)
{
    QSettings s(p_sFile, QSettings::IniFormat);
    const QVariant value = s.value(p_sKey);
    if (!value.isValid())
        return p_bDefault;
    const QString sText = RawText(value).trimmed();
    if (sText.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || sText == QLatin1String("1")) {
        Forget(p_sFile, p_sKey);
        return true;
    }
    if (sText.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || sText == QLatin1String("0")) {
        Forget(p_sFile, p_sKey);
        return false;
    }
    WarnIgnored(p_sFile, p_sKey, RawText(value), p_bDefault ? QStringLiteral("true") : QStringLiteral("false"));
    return p_bDefault;
}

int ReadInt(const QString& p_sFile, const QString& p_sKey, int p_iMin, int p_iMax, int p_iDefault)
{
    QSettings s(p_sFile, QSettings::IniFormat);
    const QVariant value = s.value(p_sKey);
    if (!value.isValid())
        return p_iDefault;
    bool bOk = false;
    const int i = RawText(value).trimmed().toInt(&bOk);
    if (bOk && i >= p_iMin && i <= p_iMax) {
        Forget(p_sFile, p_sKey);
        return i;
    }
    WarnIgnored(p_sFile, p_sKey, RawText(value), QString::number(p_iDefault));
    return p_iDefault;
}
} // namespace

SimulationSettings::SimulationSettings(const QString& p_sFilePath)
    : m_sFilePath(p_sFilePath.isEmpty() ? DefaultFilePath() : p_sFilePath)
{
}

QString SimulationSettings::DefaultFilePath()
{
    return ApplicationDirPath() + QStringLiteral("/Simulation.ini");
}

int SimulationSettings::DefaultProxyIndex(BoardKind p_Kind)
{
    return p_Kind == BoardKind::Eskra ? 5 : 2;
}

bool SimulationSettings::simulationEnabled() const
{
    return ReadBool(m_sFilePath, QStringLiteral("Simulation/Enabled"), true);
}

void SimulationSettings::setSimulationEnabled(bool p_bEnabled)
{
    QSettings s(m_sFilePath, QSettings::IniFormat);
    s.setValue(QStringLiteral("Simulation/Enabled"), p_bEnabled);
    s.sync();
}

bool SimulationSettings::boardPresent(BoardKind p_Kind) const
{
    return ReadBool(m_sFilePath, Key(p_Kind, "Present"), true);
}

void SimulationSettings::setBoardPresent(BoardKind p_Kind, bool p_bPresent)
{
    QSettings s(m_sFilePath, QSettings::IniFormat);
    s.setValue(Key(p_Kind, "Present"), p_bPresent);
    s.sync();
}

int SimulationSettings::proxyIndex(BoardKind p_Kind) const
{
    return ReadInt(m_sFilePath, Key(p_Kind, "ProxyIndex"), 0, 24, DefaultProxyIndex(p_Kind));
}

void SimulationSettings::setProxyIndex(BoardKind p_Kind, int p_iProxyIndex)
{
    QSettings s(m_sFilePath, QSettings::IniFormat);
    s.setValue(Key(p_Kind, "ProxyIndex"), p_iProxyIndex);
    s.sync();
}

int SimulationSettings::frameRateCode(BoardKind p_Kind) const
{
    // A frame-rate code is one byte on every board.
    return ReadInt(m_sFilePath, Key(p_Kind, "FrameRate"), 0, 255, kDefaultFrameRateCode);
}

void SimulationSettings::setFrameRateCode(BoardKind p_Kind, int p_iCode)
{
    QSettings s(m_sFilePath, QSettings::IniFormat);
    s.setValue(Key(p_Kind, "FrameRate"), p_iCode);
    s.sync();
}

} // namespace sim
