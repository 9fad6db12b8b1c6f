// In-process tests of the stages: a zeroed model with the three streams in
// temporary files, and a way to read back what a stage wrote.
#pragma once

#include "app/barrel_model.h"
#include "barrel_setup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

class model_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&barrel_model, 0, sizeof barrel_model);
        barrel_model.element_count = 40;
        barrel_model.report_file = std::tmpfile();
        barrel_model.matrix_file = std::tmpfile();
        barrel_model.log_file = std::tmpfile();
    }

    void TearDown() override
    {
        for (std::FILE *file : {barrel_model.report_file, barrel_model.matrix_file, barrel_model.log_file})
            if (file) std::fclose(file);
        std::memset(&barrel_model, 0, sizeof barrel_model);
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
};
