# Compile settings shared by every target of the project.

# Text inside the programs is GBK: literals in the UTF-8 sources are turned
# into GBK bytes by the compiler, so "你想找什么？" compares byte for byte with
# what the INI files and the pages hold. Note: libstdc++'s <chrono> holds a
# literal (the micro sign) that GBK cannot encode, so include <thread> or
# <condition_variable> for std::chrono instead of <chrono> itself.
add_compile_options(
  $<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=GBK>
  $<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8>
  -Wall -Wextra)

if(VELK_SANITIZE)
  string(REPLACE ";" "," _velk_san "${VELK_SANITIZE}")
  add_compile_options(-fsanitize=${_velk_san} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=${_velk_san})
endif()

# velk_library(name SOURCES ... DEPS ...): a static library of the project,
# whose headers are included from the repository root ("toolkit/control.h").
function(velk_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()
