// The recorder card's files through the Windows file services: the
// settings and clock files opened with the class library's CFile, and the
// "md" command run by the command processor.
#pragma once

#include "app/recorder_settings.h"

class CCardFiles : public recorder::CardFiles {
public:
    bool ReadByte(const std::string& path, int* byte) override;
    bool Write(const std::string& path, const void* data, size_t size, int* cause) override;
    void RunCommand(const std::string& command) override;
};
