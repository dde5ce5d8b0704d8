# QUANDEL_SANITIZE: "address" (AddressSanitizer with UndefinedBehaviorSanitizer; ON means the same)
# or "thread" (ThreadSanitizer). The two cannot share a build.
if(QUANDEL_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(QUANDEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
