# Sources of the document part of plotwell-core.
target_sources(plotwell-core PRIVATE
)
