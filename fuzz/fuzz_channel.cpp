// Any byte string is a channel string: parsing must never fail and must keep
// its length limits and well-formed text.
#include "core/ChannelManager.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString param = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    ChannelFields current;
    current.mode = size % 2;
    const ChannelFields fields = ChannelManager::parse(param, current);

    if (fields.channelName.size() > 19 || fields.channelId.size() > 16)
        std::abort();
    if (fields.mode != 0 && fields.mode != 1)
        std::abort();
    if (!fields.channelName.isValidUtf16() || !fields.channelId.isValidUtf16())
        std::abort();
    if (param.isEmpty() && fields.channelName != QLatin1String("Default"))
        std::abort();
    return 0;
}
