# Endpoint roots of the local release server (tools/release_server.py) used by
# the demo and the test suite: one port serves packages and the agreement page,
# two receive production and test telemetry.
set(PACKAGE_HOST_URL "http://127.0.0.1:47861" CACHE STRING "" FORCE)
set(PRODUCT_HOST_URL "http://127.0.0.1:47861" CACHE STRING "" FORCE)
set(AGREEMENT_HOST_URL "http://127.0.0.1:47861" CACHE STRING "" FORCE)
set(TELEMETRY_URL "http://127.0.0.1:47862" CACHE STRING "" FORCE)
set(TELEMETRY_TEST_URL "http://127.0.0.1:47863" CACHE STRING "" FORCE)
# The demo key (tools/demo-package-key.pub): tools/make_sample_packages.py
# --sign tools/demo-package-key.key signs the sample packages with it.
set(PACKAGE_PUBLIC_KEY "RWSzkj9JZIiLQUfhzwFYkKlI9iLzPkBoau7zksv4UShYtzbSCDuHbSCn" CACHE STRING "" FORCE)
