// In-process tests of the stages: a fresh model with the three streams in
// temporary files for every test, and a way to read back what a stage wrote.
#pragma once

#include "model/barrel_model.h"
#include "tests/support/barrel_setup.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

class model_test : public ::testing::Test {
protected:
    void SetUp() override { model_.emplace(); }
    void TearDown() override { model_.reset(); }

    // Starts over with a fresh model, closing the files of the last one: for
    // a test that runs several cases in turn.
    void start_fresh_model()
    {
        model_.reset();
        model_.emplace();
    }

    // What run, a call of one or more stages, writes to the console.
    template <class Run>
    static std::string console_of(Run run)
    {
        testing::internal::CaptureStdout();
        run();
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }

    static std::string text_of(std::FILE *file)
    {
        std::fflush(file);
        std::string text;
        std::rewind(file);
        char chunk[4096];
        for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, got);
        std::fseek(file, 0, SEEK_END);
        return text;
    }

    static void set_reference_barrel(int bc_type) { load_barrel(reference_barrel(bc_type)); }

private:
    std::optional<fresh_model> model_;
};
