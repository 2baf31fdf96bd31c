# Compiler warnings and the optional sanitizer build, applied to every target of the project.
add_compile_options(-Wall -Wextra -Wno-unused-parameter)
add_compile_definitions(SW_VERSION_STRING="${PROJECT_VERSION}")

if(SW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
