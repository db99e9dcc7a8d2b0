// The log file: a fixed header and a sequence of typed chunks.
#include "log/CLogStore.h"

bool LogLoadResult::IsUsable() const { return false; }

bool CLogStore::SaveLogfile() { return false; }
void CLogStore::LoadLogfile() { ReadLogfile(m_LogfilePath); }
LogLoadResult CLogStore::ReadLogfile(const std::filesystem::path&) { return {}; }
LogLoadResult CLogStore::ReadLog(std::istream&) { return {}; }
std::string CLogStore::SerializeLog() const { return {}; }
void CLogStore::MendLoadedState(LogLoadResult&) {}
