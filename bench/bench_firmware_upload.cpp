// Firmware upload of an image over UDP to the in-process simulator, with the real pauses,
// against the floor the protocol sets: the fixed pauses (5 ms + 25 ms per telegram, 3 s after stop).
#include "FirmwareUpload.h"
#include "KMRPause.h"
#include "KMRUDPTransmissionFactory.h"

#include <KMRSim/KMRSimServer.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

int main(int argc, char** argv)
{
    // Optional image size in bytes; other arguments (benchmark-runner flags) are ignored.
    const size_t size = argc > 1 && argv[1][0] >= '1' && argv[1][0] <= '9' ? std::strtoul(argv[1], nullptr, 10) : 256 * 1024;
    std::vector<uint8_t> image(size);
    std::mt19937 random(11);
    for (auto& b : image)
        b = static_cast<uint8_t>(random());
    const std::string path = "/tmp/bench_firmware.img";
    if (std::FILE* f = std::fopen(path.c_str(), "wb"))
    {
        std::fwrite(image.data(), 1, image.size(), f);
        std::fclose(f);
    }

    KMRSimServer sim;
    sim.StartUdp();
    KMRUDPTransmissionFactory factory("127.0.0.1", "0", "127.0.0.1", std::to_string(sim.Port()).c_str());
    FirmwareUpload engine(&factory, path.c_str(), 1);
    engine.Initialize(2000);
    engine.EnableFirmwareUpload();
    engine.ResetController(false);
    engine.SetKelmarCom2Address(FirmwareUpload::FIRMWARE_MODE_ADDRESS);

    // Every fixed pause still sleeps its full length; the hook only adds them up.
    std::chrono::duration<double> paused{0};
    KMRPause::SetHook([&paused](uint32_t ms_i) {
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(ms_i));
        paused += std::chrono::steady_clock::now() - start;
    });
    const auto start = std::chrono::steady_clock::now();
    engine.UploadFile();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    KMRPause::SetHook({});

    const unsigned sequences = engine.GetNumberOfFirmwareSequences();
    const bool intact = !sim.FirmwareImages().empty() && sim.FirmwareImages().back() == image;
    std::printf("image %zu bytes, %u sequences, upload %.2f s, fixed pauses %.2f s\n", size, sequences, elapsed.count(),
                paused.count());
    std::printf("per sequence %.2f ms against a floor of 30 ms; overhead above the floor %.2f %%\n",
                (elapsed.count() - 3.0) * 1000.0 / sequences, (elapsed.count() / paused.count() - 1.0) * 100.0);
    std::printf("image arrived intact: %s\n", intact ? "yes" : "NO");
    return intact ? 0 : 1;
}
