// The parts of a board link that every family shares: the safe registers and the link's log.
#include "board/board_link.h"

#include "app/kv_log.h"
#include "params/proxy_parameter_ids.h"
#include "params/proxy_parameter_table.h"

std::vector<RegisterWrite> SafeSensorRegisters(int p_iProxyIndex, bool p_bCurrentTint)
{
    const int proxy = p_iProxyIndex;
    std::vector<RegisterWrite> writes;
    writes.push_back({BoardRegisterId::TINT, p_bCurrentTint ? GetCurrent(proxy, ProxyParameterId::TINTMin)
                                                       : GetDefault(proxy, ProxyParameterId::TINTMin)});
    const uint32_t zeroChannel = GetDefault(proxy, ProxyParameterId::StopZeroChannel);
    if (zeroChannel != ProxyParameterNotSet)
        writes.push_back({int(zeroChannel) - 1, 0});
    const uint32_t fullChannel = GetDefault(proxy, ProxyParameterId::GSKChannel);
    if (fullChannel != ProxyParameterNotSet)
        writes.push_back({int(fullChannel) - 1, 4095});
    return writes;
}

int BoardLink::writeSafeRegisters(int p_iProxyIndex)
{
    // The statuses are not added: two failure codes overflow an int, and a +1
    // and a -1 would cancel into success.
    int result = 0;
    for (const RegisterWrite& write : safeRegisters(p_iProxyIndex)) {
        const int status = writeRegister(BoardRegisterId(write.Id), write.Value);
        if (result == 0)
            result = status;
    }
    return result;
}

int BoardLink::writeIndirect(int p_iAddress, int p_iValue)
{
    if (const int iStatus = writeIndirectAddress(p_iAddress))
        return iStatus;
    return writeIndirectValue(p_iValue);
}

void BoardLink::logLine(const QString& p_sLine) const
{
    WriteLogLine(m_Context.Log, p_sLine);
}
