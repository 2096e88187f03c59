shadowpane_test(usage_core_tests
  SOURCES usage/UsageRecordsTest.cpp usage/UsageDecisionsTest.cpp usage/RecentUseTest.cpp
          usage/UsageTextsTest.cpp support/FakeUsageSources.cpp
  LIBS shadowpane_test_support)
