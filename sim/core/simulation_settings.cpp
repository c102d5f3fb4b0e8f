// Simulation.ini through QSettings.
#include "sim/core/simulation_settings.h"

#include "app/app_paths.h"

#include <QSettings>

namespace sim {

namespace {
QString Key(BoardKind p_Kind, const char* p_sName)
{
    return BoardKindName(p_Kind) + QLatin1Char('/') + QLatin1String(p_sName);
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
    QSettings s(m_sFilePath, QSettings::IniFormat);
    return s.value(QStringLiteral("Simulation/Enabled"), true).toBool();
}

void SimulationSettings::setSimulationEnabled(bool p_bEnabled)
{
    QSettings s(m_sFilePath, QSettings::IniFormat);
    s.setValue(QStringLiteral("Simulation/Enabled"), p_bEnabled);
    s.sync();
}

bool SimulationSettings::boardPresent(BoardKind p_Kind) const
{
    QSettings s(m_sFilePath, QSettings::IniFormat);
    return s.value(Key(p_Kind, "Present"), true).toBool();
}

void SimulationSettings::setBoardPresent(BoardKind p_Kind, bool p_bPresent)
{
    QSettings s(m_sFilePath, QSettings::IniFormat);
    s.setValue(Key(p_Kind, "Present"), p_bPresent);
    s.sync();
}

int SimulationSettings::proxyIndex(BoardKind p_Kind) const
{
    QSettings s(m_sFilePath, QSettings::IniFormat);
    bool bOk = false;
    const int i = s.value(Key(p_Kind, "ProxyIndex")).toInt(&bOk);
    return bOk && i >= 0 && i <= 24 ? i : DefaultProxyIndex(p_Kind);
}

void SimulationSettings::setProxyIndex(BoardKind p_Kind, int p_iProxyIndex)
{
    QSettings s(m_sFilePath, QSettings::IniFormat);
    s.setValue(Key(p_Kind, "ProxyIndex"), p_iProxyIndex);
    s.sync();
}

int SimulationSettings::frameRateCode(BoardKind p_Kind) const
{
    QSettings s(m_sFilePath, QSettings::IniFormat);
    bool bOk = false;
    const int i = s.value(Key(p_Kind, "FrameRate")).toInt(&bOk);
    return bOk ? i : kDefaultFrameRateCode;
}

void SimulationSettings::setFrameRateCode(BoardKind p_Kind, int p_iCode)
{
    QSettings s(m_sFilePath, QSettings::IniFormat);
    s.setValue(Key(p_Kind, "FrameRate"), p_iCode);
    s.sync();
}

} // namespace sim
