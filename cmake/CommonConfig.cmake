# One interface target carries the configuration every Velumina target shares.
add_library(velumina_common INTERFACE)
target_compile_features(velumina_common INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(velumina_common INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
target_compile_definitions(velumina_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_DISABLE_DEPRECATED_UP_TO=0x060400)
if(VELUMINA_WERROR)
    target_compile_options(velumina_common INTERFACE -Werror)
endif()
if(VELUMINA_SANITIZE)
    target_compile_options(velumina_common INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(velumina_common INTERFACE -fsanitize=address,undefined)
endif()
