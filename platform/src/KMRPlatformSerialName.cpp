// COM port names of the original platform mapped onto device paths.
#include <KMRPlatform/KMRPlatform.h>

#include <cctype>
#include <cstdlib>

namespace kmr::platform
{
std::string ResolveSerialDeviceName(const std::string& name_i)
{
    std::string name = name_i;
    if (name.rfind("\\\\.\\", 0) == 0)
        name = name.substr(4);
    if (name.size() < 4 || (std::toupper(static_cast<unsigned char>(name[0])) != 'C') ||
        (std::toupper(static_cast<unsigned char>(name[1])) != 'O') ||
        (std::toupper(static_cast<unsigned char>(name[2])) != 'M'))
        return name_i;
    int number = 0;
    for (size_t i = 3; i < name.size(); ++i)
    {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || number > 9999)
            return name_i;
        number = number * 10 + (name[i] - '0');
    }
    if (number < 1)
        return name_i;
    const std::string variable = "KMR_COM" + std::to_string(number);
    if (const char* mapped = std::getenv(variable.c_str()); mapped != nullptr && *mapped != '\0')
        return mapped;
    return "/dev/ttyS" + std::to_string(number - 1);
}
} // namespace kmr::platform
