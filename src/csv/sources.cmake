# Sources of the csv part of plotwell-core.
target_sources(plotwell-core PRIVATE
)
