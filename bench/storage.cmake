# Recording a lookup reply and reading a long price history against a
# 1,000,000-row file, beside the same work with the unindexed LIKE shapes.
pricewarden_add_benchmark(bench_storage
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_storage.cpp
    LIBRARIES pricewarden_core Qt6::Sql)
