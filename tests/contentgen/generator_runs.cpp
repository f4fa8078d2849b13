#include "generator_runs.h"

#include <QProcess>
#include <QStringList>

#include <algorithm>

namespace fs = std::filesystem;

bool runGenerator(const fs::path& folder, const fs::path& stamp, QString* printed)
{
    QStringList arguments;
    if (!stamp.empty())
        arguments << "--stamp" << QString::fromStdString(stamp.string());
    arguments << QString::fromStdString(folder.string());
    QProcess process;
    process.start(KIPSTER_CONTENTGEN, arguments);
    if (!process.waitForFinished(300000))
        return false;
    if (printed)
        *printed = QString::fromUtf8(process.readAllStandardOutput());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

GeneratorRuns::GeneratorRuns()
{
    ok = runGenerator(plain.path(), {}) && runGenerator(stamped.path(), stampFolder / "content.stamp");
}

GeneratorRuns& generatorRuns()
{
    static GeneratorRuns instance;
    return instance;
}

std::map<std::string, std::string> filesBelow(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).generic_string()] = readWholeFile(entry.path());
    return files;
}

std::string onDisk(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}
