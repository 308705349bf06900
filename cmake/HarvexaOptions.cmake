# Flags every target of the project links through harvexa_options.
add_library(harvexa_options INTERFACE)
target_compile_features(harvexa_options INTERFACE cxx_std_20)
target_compile_options(harvexa_options INTERFACE -Wall -Wextra)
target_compile_definitions(harvexa_options INTERFACE
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

if(HARVEXA_SANITIZERS)
    string(REPLACE "," ";" _hx_sanitizers "${HARVEXA_SANITIZERS}")
    foreach(_s IN LISTS _hx_sanitizers)
        if(NOT _s MATCHES "^(address|undefined|thread)$")
            message(FATAL_ERROR "Unknown sanitizer '${_s}' in HARVEXA_SANITIZERS")
        endif()
    endforeach()
    set(_hx_san_flag "-fsanitize=${HARVEXA_SANITIZERS}")
    target_compile_options(harvexa_options INTERFACE ${_hx_san_flag} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(harvexa_options INTERFACE ${_hx_san_flag})
endif()
