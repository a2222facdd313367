// Serial bit rates through termios2. Kept apart: <asm/termbits.h> clashes with <termios.h>.
#include <KMRPlatform/KMRPlatform.h>

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace kmr::platform
{
int SetLineSpeed(int fd_i, uint32_t baud_i)
{
    struct termios2 settings
    {
    };
    if (::ioctl(fd_i, TCGETS2, &settings) != 0)
        return errno;
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    settings.c_ispeed = baud_i;
    settings.c_ospeed = baud_i;
    if (::ioctl(fd_i, TCSETS2, &settings) != 0)
        return errno;
    return 0;
}

int GetLineSpeed(int fd_i, uint32_t& baud_o)
{
    struct termios2 settings
    {
    };
    if (::ioctl(fd_i, TCGETS2, &settings) != 0)
        return errno;
    baud_o = settings.c_ospeed;
    return 0;
}
} // namespace kmr::platform
