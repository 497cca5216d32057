# Endpoint roots of the local release server (tools/release_server.py) used by
# the demo and the test suite: one port serves packages and the agreement page,
# two receive production and test telemetry. The ports are tools/local-ports'.
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/local-ports" local_ports REGEX "^[A-Z_]+=[0-9]+$")
foreach(line IN LISTS local_ports)
    string(REGEX REPLACE "=.*" "" name "${line}")
    string(REGEX REPLACE ".*=" "" ${name} "${line}")
endforeach()
set(PACKAGE_HOST_URL "http://127.0.0.1:${PACKAGE_PORT}" CACHE STRING "" FORCE)
set(PRODUCT_HOST_URL "http://127.0.0.1:${PACKAGE_PORT}" CACHE STRING "" FORCE)
set(AGREEMENT_HOST_URL "http://127.0.0.1:${PACKAGE_PORT}" CACHE STRING "" FORCE)
set(TELEMETRY_URL "http://127.0.0.1:${TELEMETRY_PORT}" CACHE STRING "" FORCE)
set(TELEMETRY_TEST_URL "http://127.0.0.1:${TELEMETRY_TEST_PORT}" CACHE STRING "" FORCE)
# The demo key (tools/demo-package-key.pub): tools/make_sample_packages.py
# --sign tools/demo-package-key.key signs the sample packages with it.
set(PACKAGE_PUBLIC_KEY "RWSzkj9JZIiLQUfhzwFYkKlI9iLzPkBoau7zksv4UShYtzbSCDuHbSCn" CACHE STRING "" FORCE)
