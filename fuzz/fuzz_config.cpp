// The configuration reader on arbitrary files: never crashes, every setting it returns is in its
// range, and what it returns is written and read back unchanged.
#include "settings/configfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ConfigFile::Decoded decoded = ConfigFile::decode(bytes);
    const Settings &s = decoded.settings;
    if (s.duree_option < 1 || s.duree_option > 10 || s.source > 2 || s.fichier_donnees.isEmpty())
        std::abort();
    const ConfigFile::Decoded again = ConfigFile::decode(ConfigFile::encode(s));
    // A path holding a double quote cannot be stored in a quoted field; it is the only exception.
    if (!s.fichier_donnees.contains(u'"') && (!again.clean || !(again.settings == s)))
        std::abort();
    return 0;
}
