# cmake -DBINARY=<file> -DOUTPUT=<list file> -P ListRuntimeDependencies.cmake
# Writes the shared libraries <file> loads, resolved to paths, one a line.
file(GET_RUNTIME_DEPENDENCIES
    LIBRARIES "${BINARY}"
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved)
list(JOIN resolved "\n" text)
file(WRITE "${OUTPUT}" "${text}\n")
