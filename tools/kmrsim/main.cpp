// kmrsim: the sign controller simulator program (UDP and pseudo-terminal, faults, stored transfers).
#include "KMRSim/KMRSimServer.h"

#include <KMRBase/KMRException.h>

#include <CLI/CLI.hpp>

#include <cmath>
#include <array>
#include <csignal>
#include <cstdio>
#include <optional>
#include <pthread.h>
#include <random>
#include <string>

namespace
{
void _Log(const std::string& line_i)
{
    // One call per line: stdio locks the stream, so lines of several threads do not mix.
    std::fprintf(stderr, "kmrsim: %s\n", line_i.c_str());
}

// "[IP:]PORT" into its parts; false when it is not of that form.
bool _ParseUdp(const std::string& text_i, std::string& ip_o, uint16_t& port_o)
{
    const std::size_t colon = text_i.rfind(':');
    const std::string port = colon == std::string::npos ? text_i : text_i.substr(colon + 1);
    ip_o = colon == std::string::npos ? std::string("127.0.0.1") : text_i.substr(0, colon);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
    {
        return false;
    }
    const unsigned long value = std::stoul(port);
    if (value > 65535 || ip_o.empty())
    {
        return false;
    }
    port_o = static_cast<uint16_t>(value);
    return true;
}

// "MAJOR.MINOR.BUILD" into the four version bytes the controller reports.
bool _ParseVersion(const std::string& text_i, std::array<uint8_t, 4>& version_o)
{
    unsigned int major = 0;
    unsigned int minor = 0;
    unsigned int build = 0;
    char rest = 0;
    if (std::sscanf(text_i.c_str(), "%u.%u.%u%c", &major, &minor, &build, &rest) != 3 || major > 255 ||
        minor > 255 || build > 65535)
    {
        return false;
    }
    version_o = {static_cast<uint8_t>(major), static_cast<uint8_t>(minor), static_cast<uint8_t>(build >> 8),
                 static_cast<uint8_t>(build & 0xFF)};
    return true;
}

// Ten characters "YYMMDDhhmm" and an optional release flag ('1' release, '0' test; default '1').
bool _ParseBuildNumber(const std::string& text_i, std::array<uint8_t, 11>& build_o)
{
    if (text_i.size() != 10 && text_i.size() != 11)
    {
        return false;
    }
    for (std::size_t i = 0; i < 11; ++i)
    {
        build_o[i] = static_cast<uint8_t>(i < text_i.size() ? text_i[i] : '1');
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"kmrsim: a simulated sign controller that answers KelmarCom2 requests over UDP or a "
                 "pseudo-terminal. Prints \"READY udp <port>\" or \"READY pty <path>\" when it listens and runs "
                 "until SIGINT or SIGTERM."};
    std::string udp;
    bool pty = false;
    unsigned int address = 1;
    std::string store;
    KMRSimFaultSettings faults;
    std::optional<uint64_t> seed;
    double temperature = 23.45;
    std::string version = "1.0.1";
    std::string buildNumber = "24060112001";
    bool verbose = false;

    app.add_option("--udp", udp, "serve UDP on [IP:]PORT (IP default 127.0.0.1, PORT 0 = any free port)");
    app.add_flag("--pty", pty, "serve a pseudo-terminal; its path is printed in the READY line");
    app.add_option("--address", address, "KelmarCom2 address in user mode")->check(CLI::Range(1, 254))
        ->capture_default_str();
    app.add_option("--store", store, "write received firmware images (firmware-<n>.img) and contents "
                                     "(content-<XXXX>.bin) into this directory");
    app.add_option("--drop", faults.drop, "probability that an answer is lost (request executed)")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--busy", faults.busy, "probability of a BUSY answer (request not executed)")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--nack", faults.nack, "probability of a NACK answer (request not executed)")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--corrupt", faults.corrupt, "probability that an answer has one byte changed")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--delay", faults.delayMs, "delay of every answer in milliseconds");
    app.add_option("--seed", seed, "seed of the fault injection (default: random, printed on stderr)");
    app.add_option("--temperature", temperature, "reported temperature in degrees Celsius")
        ->check(CLI::Range(-327.68, 327.67))->capture_default_str();
    app.add_option("--sw-version", version, "reported software version MAJOR.MINOR.BUILD")->capture_default_str();
    app.add_option("--build-number", buildNumber,
                   "reported build number: YYMMDDhhmm and a release flag (1 release, 0 test)")
        ->capture_default_str();
    app.add_flag("--verbose", verbose, "log every telegram on stderr");
    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::ParseError& e)
    {
        // --help answers 0; every mistake in the command line is a usage error (2).
        return app.exit(e) == 0 ? 0 : 2;
    }

    KMRSimServerOptions options;
    std::string udpIp;
    uint16_t udpPort = 0;
    if (!udp.empty() && !_ParseUdp(udp, udpIp, udpPort))
    {
        std::fprintf(stderr, "kmrsim: --udp expects [IP:]PORT, got \"%s\"\n", udp.c_str());
        return 2;
    }
    if (udp.empty() && !pty)
    {
        std::fprintf(stderr, "kmrsim: choose a transport: --udp [IP:]PORT or --pty (see --help)\n");
        return 2;
    }
    if (!_ParseVersion(version, options.controller.softwareVersion))
    {
        std::fprintf(stderr, "kmrsim: --sw-version expects MAJOR.MINOR.BUILD, got \"%s\"\n", version.c_str());
        return 2;
    }
    if (!_ParseBuildNumber(buildNumber, options.controller.buildNumber))
    {
        std::fprintf(stderr, "kmrsim: --build-number expects 10 or 11 characters, got \"%s\"\n",
                     buildNumber.c_str());
        return 2;
    }
    options.controller.userAddress = static_cast<uint8_t>(address);
    options.controller.temperatureHundredths = static_cast<int16_t>(std::lround(temperature * 100.0));
    faults.seed = seed ? *seed : std::random_device{}();
    options.faults = faults;
    options.storeDirectory = store;
    options.log = _Log;
    options.trace = verbose;
    if (faults.drop > 0 || faults.busy > 0 || faults.nack > 0 || faults.corrupt > 0 || faults.delayMs > 0)
    {
        _Log("faults: drop " + std::to_string(faults.drop) + ", busy " + std::to_string(faults.busy) + ", nack " +
             std::to_string(faults.nack) + ", corrupt " + std::to_string(faults.corrupt) + ", delay " +
             std::to_string(faults.delayMs) + " ms, seed " + std::to_string(faults.seed));
    }

    // The serving threads inherit this mask; the main thread alone takes the signals.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try
    {
        KMRSimServer server(options);
        if (!udp.empty())
        {
            server.StartUdp(udpIp, udpPort);
            std::printf("READY udp %u\n", server.Port());
        }
        if (pty)
        {
            server.StartPty();
            std::printf("READY pty %s\n", server.PtyPath().c_str());
        }
        std::fflush(stdout);
        _Log("controller at address " + std::to_string(address) + " in user mode");

        int received = 0;
        sigwait(&signals, &received);
        server.Stop();
        const KMRSimProtocolStats stats = server.Stats();
        _Log("stopped by signal " + std::to_string(received) + ": " + std::to_string(stats.requests) +
             " requests, " + std::to_string(stats.answered) + " answered, " + std::to_string(stats.dropped) +
             " dropped, " + std::to_string(stats.busy) + " busy, " + std::to_string(stats.nacked) + " nack, " +
             std::to_string(stats.corrupted) + " corrupted, " + std::to_string(stats.invalid) + " invalid");
    }
    catch (const KMRException& e)
    {
        std::fprintf(stderr, "kmrsim: %s: %s\n", e.GetWhereText(), e.GetDetails());
        return 1;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "kmrsim: %s\n", e.what());
        return 1;
    }
    return 0;
}
