#include "fuzz_run.h"

#include "model/barrel_model.h"
#include "app/driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct scratch {
    fs::path answers;  // the input, outside the working folder so no name can clobber it
    fs::path work;

    scratch()
    {
        std::string pattern = (fs::temp_directory_path() / "boreflex-fuzz-XXXXXX").string();
        fs::path root = mkdtemp(pattern.data());
        answers = root / "answers";
        work = root / "work";
        fs::create_directory(work);
        fs::current_path(work);
    }
};

}  // namespace

void run_fuzz_input(const std::uint8_t *data, std::size_t size)
{
    static scratch folder;
    std::error_code ignored;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder.work)) fs::remove_all(entry.path(), ignored);

    std::string input(reinterpret_cast<const char *>(data), size);
    for (char &c : input)
        if (c == '/' || c == '\\') c = '_';
    std::FILE *answers = std::fopen(folder.answers.c_str(), "wb");
    std::fwrite(input.data(), 1, input.size(), answers);
    std::fclose(answers);

    if (!std::freopen(folder.answers.c_str(), "r", stdin) || !std::freopen("/dev/null", "w", stdout)) std::abort();
    std::memset(&barrel_model, 0, sizeof barrel_model);
    run_calculation();
}
