#include "pdm/save_command.h"

std::string JoinSaveCommand(const std::string& program, const std::string& sessionId,
                            const std::string& serverPath, const std::string& markupFileName,
                            const std::string& application) {
    return program + " " + kMarkupSaveWord + " " + sessionId + " " + serverPath + " " + markupFileName + " " +
           application;
}

bool IsSafeCommandLine(const std::string& commandLine) {
    return commandLine.size() <= kMaxCommandLength && commandLine.find_first_of("&|<>^%\"\r\n") == std::string::npos;
}
