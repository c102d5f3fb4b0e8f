// Results, strings and the GenICam feature classes of the GigE Vision stand-in.
#include "platform/ebus/ebus.h"
#include "platform/ebus/pv_private.h"

#include <cstdio>

PvString PvResult::GetCodeString() const
{
    switch (m_uCode) {
    case Code::OK: return "OK";
    case Code::NETWORK_ERROR: return "NETWORK_ERROR";
    case Code::NOT_CONNECTED: return "NOT_CONNECTED";
    case Code::NOT_ENOUGH_MEMORY: return "NOT_ENOUGH_MEMORY";
    case Code::NOT_FOUND: return "NOT_FOUND";
    case Code::NOT_SUPPORTED: return "NOT_SUPPORTED";
    case Code::THREAD_ERROR: return "THREAD_ERROR";
    case Code::TIMEOUT: return "TIMEOUT";
    case Code::INCOMPATIBLE_DRIVER: return "INCOMPATIBLE_DRIVER";
    case Code::GENICAM_ERROR: return "GENICAM_ERROR";
    case Code::UNEXPECTED: return "UNEXPECTED";
    case Code::INVALID_CONFIGURATION: return "INVALID_CONFIGURATION";
    case Code::INVALID_PARAMETER: return "INVALID_PARAMETER";
    case Code::ACCESS_DENIED: return "ACCESS_DENIED";
    case Code::ABORTED: return "ABORTED";
    case Code::STATE_ERROR: return "STATE_ERROR";
    case Code::BUFFER_TOO_SMALL: return "BUFFER_TOO_SMALL";
    case Code::WRONG_TYPE: return "WRONG_TYPE";
    default: {
        char sText[32];
        std::snprintf(sText, sizeof(sText), "CODE_0x%X", m_uCode);
        return PvString(sText);
    }
    }
}

PvString PvResult::GetDescription() const
{
    switch (m_uCode) {
    case Code::OK: return "Success";
    case Code::TIMEOUT: return "The operation timed out";
    case Code::NOT_FOUND: return "Not found";
    case Code::NOT_CONNECTED: return "The device is not connected";
    case Code::BUFFER_TOO_SMALL: return "The buffer is smaller than the payload";
    case Code::ACCESS_DENIED: return "The feature cannot be written now";
    case Code::GENICAM_ERROR: return "The value is not valid for the feature";
    default: return GetCodeString();
    }
}

// ---------------------------------------------------------------- features

bool PvGenParameter::IsWritable() const
{
    for (const auto& info : m_pArray->m_pSource->list())
        if (info.name == m_sName)
            return info.writable;
    return false;
}

PvString PvGenParameter::ToString() const
{
    PvFeatureSource& src = *m_pArray->m_pSource;
    switch (m_Type) {
    case PvGenTypeInteger: {
        int64_t v = 0;
        return src.getInteger(m_sName, v).IsOK() ? PvString(std::to_string(v)) : PvString("?");
    }
    case PvGenTypeFloat: {
        double v = 0;
        return src.getFloat(m_sName, v).IsOK() ? PvString(std::to_string(v)) : PvString("?");
    }
    case PvGenTypeEnum: {
        std::string v;
        return src.getEnum(m_sName, v).IsOK() ? PvString(v) : PvString("?");
    }
    case PvGenTypeBoolean: {
        bool v = false;
        return src.getBoolean(m_sName, v).IsOK() ? PvString(v ? "True" : "False") : PvString("?");
    }
    case PvGenTypeCommand: return "(command)";
    }
    return "?";
}

PvResult PvGenInteger::GetValue(int64_t& p_iValue) const { return m_pArray->m_pSource->getInteger(m_sName, p_iValue); }
PvResult PvGenInteger::SetValue(int64_t p_iValue) { return m_pArray->m_pSource->setInteger(m_sName, p_iValue); }
PvResult PvGenInteger::GetMin(int64_t& p_iValue) const
{
    int64_t hi = 0;
    return m_pArray->m_pSource->integerRange(m_sName, p_iValue, hi);
}
PvResult PvGenInteger::GetMax(int64_t& p_iValue) const
{
    int64_t lo = 0;
    return m_pArray->m_pSource->integerRange(m_sName, lo, p_iValue);
}
PvResult PvGenFloat::GetValue(double& p_dValue) const { return m_pArray->m_pSource->getFloat(m_sName, p_dValue); }
PvResult PvGenEnum::GetValue(PvString& p_sValue) const
{
    std::string s;
    const PvResult r = m_pArray->m_pSource->getEnum(m_sName, s);
    if (r.IsOK())
        p_sValue = PvString(s);
    return r;
}
PvResult PvGenEnum::SetValue(const PvString& p_sValue) { return m_pArray->m_pSource->setEnum(m_sName, p_sValue.GetAscii()); }
PvResult PvGenEnum::GetEntriesCount(int64_t& p_iCount) const
{
    std::vector<std::string> e;
    const PvResult r = m_pArray->m_pSource->enumEntries(m_sName, e);
    p_iCount = static_cast<int64_t>(e.size());
    return r;
}
PvResult PvGenEnum::GetEntryByIndex(int64_t p_iIndex, PvString& p_sName) const
{
    std::vector<std::string> e;
    const PvResult r = m_pArray->m_pSource->enumEntries(m_sName, e);
    if (!r.IsOK())
        return r;
    if (p_iIndex < 0 || p_iIndex >= static_cast<int64_t>(e.size()))
        return PvResult::Code::INVALID_PARAMETER;
    p_sName = PvString(e[static_cast<size_t>(p_iIndex)]);
    return PvResult::Code::OK;
}
PvResult PvGenBoolean::GetValue(bool& p_bValue) const { return m_pArray->m_pSource->getBoolean(m_sName, p_bValue); }
PvResult PvGenBoolean::SetValue(bool p_bValue) { return m_pArray->m_pSource->setBoolean(m_sName, p_bValue); }
PvResult PvGenCommand::Execute() { return m_pArray->m_pSource->execute(m_sName); }

PvGenParameterArray::PvGenParameterArray(std::shared_ptr<PvFeatureSource> p_pSource)
    : m_pSource(std::move(p_pSource))
{
    for (const auto& info : m_pSource->list()) {
        PvGenParameter* p = nullptr;
        switch (info.type) {
        case PvGenTypeInteger: p = new PvGenInteger(this, info.name, info.type); break;
        case PvGenTypeFloat: p = new PvGenFloat(this, info.name, info.type); break;
        case PvGenTypeEnum: p = new PvGenEnum(this, info.name, info.type); break;
        case PvGenTypeBoolean: p = new PvGenBoolean(this, info.name, info.type); break;
        case PvGenTypeCommand: p = new PvGenCommand(this, info.name, info.type); break;
        }
        m_Parameters.emplace_back(p);
    }
}

PvGenParameterArray::~PvGenParameterArray() = default;

PvGenParameter* PvGenParameterArray::Get(uint32_t p_uIndex)
{
    return p_uIndex < m_Parameters.size() ? m_Parameters[p_uIndex].get() : nullptr;
}

PvGenParameter* PvGenParameterArray::Get(const PvString& p_sName)
{
    for (auto& p : m_Parameters)
        if (p->m_sName == p_sName.GetAscii())
            return p.get();
    return nullptr;
}

PvResult PvGenParameterArray::GetIntegerValue(const PvString& p_sName, int64_t& p_iValue)
{
    return m_pSource->getInteger(p_sName.GetAscii(), p_iValue);
}
PvResult PvGenParameterArray::SetIntegerValue(const PvString& p_sName, int64_t p_iValue)
{
    return m_pSource->setInteger(p_sName.GetAscii(), p_iValue);
}
PvResult PvGenParameterArray::GetFloatValue(const PvString& p_sName, double& p_dValue)
{
    return m_pSource->getFloat(p_sName.GetAscii(), p_dValue);
}
PvResult PvGenParameterArray::GetEnumValue(const PvString& p_sName, PvString& p_sValue)
{
    std::string s;
    const PvResult r = m_pSource->getEnum(p_sName.GetAscii(), s);
    if (r.IsOK())
        p_sValue = PvString(s);
    return r;
}
PvResult PvGenParameterArray::SetEnumValue(const PvString& p_sName, const PvString& p_sValue)
{
    return m_pSource->setEnum(p_sName.GetAscii(), p_sValue.GetAscii());
}
PvResult PvGenParameterArray::GetBooleanValue(const PvString& p_sName, bool& p_bValue)
{
    return m_pSource->getBoolean(p_sName.GetAscii(), p_bValue);
}
PvResult PvGenParameterArray::SetBooleanValue(const PvString& p_sName, bool p_bValue)
{
    return m_pSource->setBoolean(p_sName.GetAscii(), p_bValue);
}
PvResult PvGenParameterArray::ExecuteCommand(const PvString& p_sName)
{
    return m_pSource->execute(p_sName.GetAscii());
}
