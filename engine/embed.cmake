# Turns the runtime files into C++ string constants, so the engine library
# carries them and needs no files beside it. Run as:
#   cmake -DOUTPUT=<file.cpp> "-DINPUTS=<a.js;b.css>" -P embed.cmake
set(content "// Made by engine/embed.cmake from engine/runtime; edit those files instead.\n")
string(APPEND content "#include \"engine/runtimefiles.h\"\n\nnamespace ordwick::engine::runtime {\n\n")
foreach(input IN LISTS INPUTS)
    get_filename_component(stem "${input}" NAME_WE)
    file(READ "${input}" text)
    string(FIND "${text}" ")ORDWICK_EMBED" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "${input} holds the embedding delimiter")
    endif()
    string(APPEND content "const char ${stem}[] = R\"ORDWICK_EMBED(${text})ORDWICK_EMBED\";\n\n")
endforeach()
string(APPEND content "} // namespace ordwick::engine::runtime\n")
file(WRITE "${OUTPUT}.tmp" "${content}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
