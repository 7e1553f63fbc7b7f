# Sources of the document part of plotwell-core.
target_sources(plotwell-core PRIVATE
  document/CompanionEntries.cpp document/CompanionEntries.h
  document/DocumentController.cpp document/DocumentController.h
  document/DocumentFormat.cpp document/DocumentFormat.h
  document/DocumentImport.cpp document/DocumentImport.h
  document/DocumentNames.cpp document/DocumentNames.h
  document/RecentDocuments.cpp document/RecentDocuments.h
)
