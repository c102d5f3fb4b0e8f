// Inside the GigE Vision stand-in: where the features of a parameter array come from.
#pragma once

#include "platform/ebus/ebus.h"

#include <string>
#include <vector>

class PvFeatureSource
{
public:
    struct Info
    {
        std::string name;
        PvGenType type;
        bool writable;
    };
    virtual ~PvFeatureSource() = default;
    virtual std::vector<Info> list() const = 0;
    virtual PvResult getInteger(const std::string& p_sName, int64_t& p_iValue) const = 0;
    virtual PvResult setInteger(const std::string& p_sName, int64_t p_iValue) = 0;
    virtual PvResult integerRange(const std::string& p_sName, int64_t& p_iMin, int64_t& p_iMax) const = 0;
    virtual PvResult getFloat(const std::string& p_sName, double& p_dValue) const = 0;
    virtual PvResult getEnum(const std::string& p_sName, std::string& p_sValue) const = 0;
    virtual PvResult setEnum(const std::string& p_sName, const std::string& p_sValue) = 0;
    virtual PvResult enumEntries(const std::string& p_sName, std::vector<std::string>& p_Entries) const = 0;
    virtual PvResult getBoolean(const std::string& p_sName, bool& p_bValue) const = 0;
    virtual PvResult setBoolean(const std::string& p_sName, bool p_bValue) = 0;
    virtual PvResult execute(const std::string& p_sName) = 0;
};

// Counters of one stream, written by its pipeline's thread.
struct PvStream::Statistics
{
    std::atomic<double> bandwidth{0.0};       // bits per second over the last second
    std::atomic<double> acquisitionRate{0.0}; // frames per second over the last second
    std::atomic<int64_t> blockCount{0};
    std::atomic<int64_t> blocksDropped{0};
    std::atomic<bool> streamOpen{false};       // a closed or freed stream receives nothing
};

// Guards the link between a stream and its pipeline (either may go first).
std::mutex& PvStreamPipelineMutex();
