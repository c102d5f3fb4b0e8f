// libFuzzer target: any bytes as a ".conf" configuration file, read from a file as the loader does.
#include "fuzz_support.h"
#include "mainwindow/configuration_file.h"

#include <QFile>

#include <cstdlib>

namespace {

bool SameIntegers(const ConfigurationSettings& a, const ConfigurationSettings& b)
{
    // Everything but Gamma, which the writer rounds to six digits.
    ConfigurationSettings x = a;
    ConfigurationSettings y = b;
    x.Gamma = y.Gamma = 0.0f;
    const QDateTime t(QDate(2026, 1, 1), QTime(0, 0));
    return ConfigurationFileText(x, t) == ConfigurationFileText(y, t);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p_pData, size_t p_uSize)
{
    QFile file(fuzz::WriteInput(p_pData, p_uSize, "configuration.conf"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    const ConfigurationReadResult first = ReadConfigurationFile(file);

    // What was read, written again, is a complete file that reads back the
    // same, as long as its texts fit the 200-character lines and hold no
    // line break of their own.
    const QString sText = ConfigurationFileText(first.Settings, QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
    if (sText.count('\n') != ConfigurationFileLineCount)
        abort();
    auto plain = [](const QString& p_s) { return p_s.size() <= 180 && !p_s.contains('\r'); };
    if (plain(first.Settings.DigiBoard) && plain(first.Settings.Proxy)) {
        const QByteArray bytes = sText.toUtf8();
        QFile again(fuzz::WriteInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()),
                                     "again.conf"));
        if (!again.open(QIODevice::ReadOnly | QIODevice::Text))
            return 0;
        const ConfigurationReadResult second = ReadConfigurationFile(again);
        if (second.Status != ConfigurationReadStatus::Complete || !SameIntegers(first.Settings, second.Settings))
            abort();
    }
    return 0;
}
