# Writes the build time as a UTF-16 literal into OUT. The file changes only when the day
# changes, so that a build on the same day does not recompile and relink for a new second.
string(TIMESTAMP now "%Y-%m-%d %H:%M:%S")
string(SUBSTRING "${now}" 0 10 today)
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
  string(FIND "${old}" "${today}" found)
  if(NOT found EQUAL -1)
    return()
  endif()
endif()
file(WRITE "${OUT}" "u\"${now}\"\n")
