#include "tests/release/release_testing.h"

#include <stdlib.h>

#include "tests/mainwindow/driver.h"
#include "tests/support/testing.h"

std::string HarnessValue(const char *name)
{
    const char *v = getenv(name);
    return v ? v : "";
}

std::string InstallerPath()
{
    return WindowsPath(HarnessValue("LV_INSTALLER"));
}

const std::vector<unsigned char> &InstallerBytes()
{
    static const std::vector<unsigned char> bytes = ReadFileBytes(InstallerPath());
    return bytes;
}

std::vector<int> ProjectVersion()
{
    std::vector<int> parts;
    std::string text = HarnessValue("LV_VERSION");
    size_t at = 0;
    while (at < text.size() && parts.size() < 4) {
        size_t dot = text.find('.', at);
        if (dot == std::string::npos)
            dot = text.size();
        parts.push_back(atoi(text.substr(at, dot - at).c_str()));
        at = dot + 1;
    }
    while (parts.size() < 4)
        parts.push_back(0);
    return parts;
}

std::string ProjectVersionQuad()
{
    std::vector<int> v = ProjectVersion();
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
}
