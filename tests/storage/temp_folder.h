#pragma once

#include <string>

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Plain file helpers that do not go through the code under test.
void WriteRawFile(const std::string& path, const std::string& bytes);
std::string ReadRawFile(const std::string& path);

// Names parameterised cases after their `name` member.
struct CaseName {
    template <class Param>
    std::string operator()(const Param& param_info) const {
        return param_info.param.name;
    }
};
