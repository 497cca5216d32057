# Finds libsodium: Debian's libsodium-dev on Linux, the SDK's static
# libsodium.a in a Windows cross build (its prefix on CMAKE_PREFIX_PATH).
#
#   Sodium_FOUND, Sodium_VERSION, the imported target Sodium::Sodium
#
# A static libsodium needs SODIUM_STATIC in every unit that includes its
# headers, or they declare its functions as DLL imports; the target carries it.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
    pkg_check_modules(PC_SODIUM QUIET libsodium)
endif()

find_path(SODIUM_INCLUDE_DIR sodium.h HINTS ${PC_SODIUM_INCLUDEDIR} ${PC_SODIUM_INCLUDE_DIRS})
find_library(SODIUM_LIBRARY NAMES sodium libsodium HINTS ${PC_SODIUM_LIBDIR} ${PC_SODIUM_LIBRARY_DIRS})

if(SODIUM_INCLUDE_DIR AND EXISTS "${SODIUM_INCLUDE_DIR}/sodium/version.h")
    file(STRINGS "${SODIUM_INCLUDE_DIR}/sodium/version.h" version_line
         REGEX "^#define SODIUM_VERSION_STRING \"[^\"]+\"")
    string(REGEX REPLACE "^.*\"([^\"]+)\".*$" "\\1" Sodium_VERSION "${version_line}")
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Sodium REQUIRED_VARS SODIUM_LIBRARY SODIUM_INCLUDE_DIR
                                  VERSION_VAR Sodium_VERSION)

if(Sodium_FOUND AND NOT TARGET Sodium::Sodium)
    # MinGW's import libraries end in .dll.a; a plain static suffix is the
    # static library itself.
    if(SODIUM_LIBRARY MATCHES "\\.dll\\.a$" OR NOT SODIUM_LIBRARY MATCHES "\\${CMAKE_STATIC_LIBRARY_SUFFIX}$")
        add_library(Sodium::Sodium UNKNOWN IMPORTED)
    else()
        add_library(Sodium::Sodium STATIC IMPORTED)
        set_property(TARGET Sodium::Sodium APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC)
        if(WIN32)
            # randombytes uses RtlGenRandom from advapi32.
            set_property(TARGET Sodium::Sodium APPEND PROPERTY INTERFACE_LINK_LIBRARIES advapi32)
        endif()
    endif()
    set_target_properties(Sodium::Sodium PROPERTIES IMPORTED_LOCATION "${SODIUM_LIBRARY}"
                                                    INTERFACE_INCLUDE_DIRECTORIES "${SODIUM_INCLUDE_DIR}")
endif()
mark_as_advanced(SODIUM_INCLUDE_DIR SODIUM_LIBRARY)
