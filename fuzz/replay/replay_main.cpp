// Runs a fuzz target once over every file of the folders (or files) named on the command line:
// the kept corpus replayed by the ordinary tests, without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace
{

void RunFile(const std::filesystem::path& path, uint32_t& count)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    ++count;
}

} // namespace

int main(int argc, char** argv)
{
    uint32_t count = 0;
    for (int i = 1; i < argc; ++i)
    {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path))
        {
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file()) RunFile(entry.path(), count);
        }
        else if (std::filesystem::is_regular_file(path))
            RunFile(path, count);
    }
    std::printf("%u inputs replayed\n", count);
    // An empty corpus would make this test pass without looking at anything.
    return count > 0 ? 0 : 1;
}
