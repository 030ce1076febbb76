# Counts, in a wineserver -d1 trace, the requests one thread made from its first request to
# its answer to the last LB_GETCOUNT (message 0x18b) it was asked: the start-up of a program
# up to its ready, settled dialog, as the window server saw it.
#   awk -v tid=0118 [-v bytype=1] -f requests_to_ready.awk TRACE
# Prints the count, or "-" when the thread never answered; with bytype, then one line per
# request type, "count type", most frequent first.
# A request line reads "0118: get_message( flags=... )"; its reply "0118: get_message() = 0 {...}".
$1 == tid ":" && $2 ~ /^[a-z_0-9]+\($/ && $0 !~ /\) = / {
    split($2, name, "(")
    count++
    types[name[1]]++
    if (asked && name[1] == "reply_message") {
        asked = 0
        answered = count
        for (t in types) typesAtAnswer[t] = types[t]
    }
}
$1 == tid ":" && /get_message\(\) = 0/ && /msg=0000018b/ { asked = 1 }
END {
    print answered ? answered : "-"
    if (bytype && answered) for (t in typesAtAnswer) printf "%d %s\n", typesAtAnswer[t], t | "sort -rn"
}
