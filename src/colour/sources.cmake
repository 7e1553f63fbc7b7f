# Sources of the colour part of plotwell-core.
target_sources(plotwell-core PRIVATE
)
