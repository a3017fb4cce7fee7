# Throughput of the signing primitives next to OpenSSL's and Qt's. OpenSSL is
# a reference for this benchmark only; the application never links it.
find_package(OpenSSL QUIET COMPONENTS Crypto)
if(OpenSSL_FOUND)
    pricewarden_add_benchmark(bench_sha2
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_sha2.cpp
        LIBRARIES pricewarden_core OpenSSL::Crypto Qt6::Core)
else()
    message(STATUS "OpenSSL not found: bench_sha2 is not built")
endif()
