shadowpane_test(usage_core_tests
  SOURCES usage/UsageRecordsTest.cpp usage/UsageDecisionsTest.cpp usage/RecentUseTest.cpp
          usage/UsageTextsTest.cpp usage/UsageMonitorTest.cpp usage/RecordLivenessTest.cpp support/FakeUsageSources.cpp
  LIBS shadowpane_test_support)
