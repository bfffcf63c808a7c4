# varnholt_ami_library(<name> MODEL <dir> [EXTRA <dir>...] [PERIPHERY])
# Builds one deliverable: a shared object (a DLL on Windows) that carries the
# whole text library, the runtime, the model of models/<dir> and the model
# objects named in EXTRA (with PERIPHERY also the runtime blocks no model
# builds), and exports AMI_Init, AMI_GetWave and AMI_Close only.
function(varnholt_ami_library name)
  cmake_parse_arguments(A "PERIPHERY" "MODEL" "EXTRA" ${ARGN})
  set(entry ${PROJECT_SOURCE_DIR}/models/${A_MODEL}/${A_MODEL}_entry.cpp)
  if(NOT EXISTS ${entry})
    return()
  endif()
  set(objs $<TARGET_OBJECTS:ibisparser> $<TARGET_OBJECTS:varnholt_runtime>
           $<TARGET_OBJECTS:varnholt_ami>)
  if(A_PERIPHERY)
    list(APPEND objs $<TARGET_OBJECTS:varnholt_periphery>)
  endif()
  foreach(m IN LISTS A_MODEL A_EXTRA)
    if(TARGET model_${m})
      list(APPEND objs $<TARGET_OBJECTS:model_${m}>)
    endif()
  endforeach()
  if(WIN32)
    # The module-definition file names the exports and their ordinals; the
    # entry point only turns off thread notifications. The C++ runtime inside
    # gives its memory back to the host when the DLL unloads.
    set(def ${PROJECT_SOURCE_DIR}/cmake/ami_exports.def)
    add_library(${name} SHARED ${entry} ${objs} ${def}
      ${PROJECT_SOURCE_DIR}/ami/windows/DllMain.cpp
      ${PROJECT_SOURCE_DIR}/ami/library/ReleaseRuntime.cpp)
    varnholt_target(${name})
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
      RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib
      ARCHIVE_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib/import)
    # C, C++ and thread runtimes inside: the DLL imports system DLLs only.
    target_link_options(${name} PRIVATE -static -Wl,--no-undefined
      -Wl,--exclude-all-symbols)
  else()
    add_library(${name} SHARED ${entry} ${objs})
    varnholt_target(${name})
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
      LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib)
    target_link_options(${name} PRIVATE
      -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/ami_exports.map
      -Wl,--exclude-libs,ALL)
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/ami_exports.map)
    if(NOT VARNHOLT_SANITIZE)
      # The C++ runtime goes inside, so a host with another libstdc++ can load us;
      # that copy's memory goes back to the host when the library unloads.
      target_link_options(${name} PRIVATE -static-libstdc++ -static-libgcc -Wl,--no-undefined)
      target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/ami/library/ReleaseRuntime.cpp)
    endif()
  endif()
  set_property(GLOBAL APPEND PROPERTY VARNHOLT_AMI_LIBRARIES ${name})
endfunction()
