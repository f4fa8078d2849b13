#pragma once
// Runs of the content generator shared by the tests of this program: one plain run and one with a
// stamp, made once, and helpers to compare what they wrote.

#include "temp_folder.h"

#include <QString>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Runs the generator into folder; the stamp file is left out when empty.
bool runGenerator(const std::filesystem::path& folder, const std::filesystem::path& stamp, QString* printed = nullptr);

struct GeneratorRuns {
    TempFolder plain, stamped, stampFolder;
    bool ok = false;
    GeneratorRuns();
};
GeneratorRuns& generatorRuns();

// Every file below root by its relative name ("/" separators) with its bytes.
std::map<std::string, std::string> filesBelow(const std::filesystem::path& root);
// A program path ("\" separators) as a relative path on the drive.
std::string onDisk(std::string name);

// The model files the generator writes, as the program names them.
std::vector<std::string> generatedModelPaths();
