#!/usr/bin/env tclsh
# A small counter window with a log file.
package require Tk 8.6

namespace eval ::counter {
    variable count 0
    variable logFile "counter.log"
}

proc ::counter::bump {{step 1}} {
    variable count
    incr count $step
    set msg "Count is now $count (step ${step})"
    log $msg
    return $count
}

proc ::counter::log {text} {
    variable logFile
    set fh [open $logFile a]   ;# append; a # here is a comment
    puts $fh [format "%s %s" [clock format [clock seconds]] $text]
    close $fh
}

set colors(bg) #f0f0f0
set limit 0x10
set ratio 2.5e-1
set banner "Tally:
two lines in one string"

label .value -textvariable ::counter::count -bg $colors(bg)
button .add -text "Add" -command {::counter::bump 1}
button .quit -text Quit -command exit
pack .value .add .quit -side top -fill x

if {$limit > 10} {
    # comment inside a braced body
    foreach i [list 1 2 3] { puts "item $i" }
} elseif {[info exists env(HOME)]} {
    puts "home is $env(HOME)"
} else {
    puts stderr "no \"limit\" set"
}
bind . <Key-q> {destroy .}
