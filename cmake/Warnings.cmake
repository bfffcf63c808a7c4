# Common compile settings of every target of the project.
if(VARNHOLT_SANITIZE)
  set(VARNHOLT_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${VARNHOLT_SAN_FLAGS})
  add_link_options(${VARNHOLT_SAN_FLAGS})
endif()

function(varnholt_target t)
  target_compile_options(${t} PRIVATE -Wall -Wextra -Werror)
  target_include_directories(${t} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
