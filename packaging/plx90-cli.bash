# bash completion for plx90-cli: its commands, each command's options,
# --eiaj|--korvan, the values of the options that take a few, and file names
# where a command takes files.

_plx90_cli()
{
    local cur prev words cword
    _init_completion || return

    local commands="install settings list import print ship company delete search history watch help"
    local command="" i
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} != -* ]]; then
            command=${words[i]}
            break
        fi
    done

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    case $prev in
        --base)
            _filedir -d
            return
            ;;
        --ap-use)
            COMPREPLY=($(compgen -W "EIAJ KORVAN ALL" -- "$cur"))
            return
            ;;
        --mode)
            if [[ $command == watch ]]; then
                COMPREPLY=($(compgen -W "1 2" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "1 2 3" -- "$cur"))
            fi
            return
            ;;
        --orderer | --supplier | --interval | --after | --order-no | --key | --item | --due | --scan | --from | --to | --month)
            return
            ;;
        --format)
            COMPREPLY=($(compgen -W "xlsx csv" -- "$cur"))
            return
            ;;
        --encoding)
            COMPREPLY=($(compgen -W "cp932 utf-8" -- "$cur"))
            return
            ;;
    esac

    local formats="--eiaj --korvan"
    local options=""
    case $command in
        install) options="--base --ap-use --force --demo" ;;
        settings)
            if ((cword == i + 1)); then
                COMPREPLY=($(compgen -W "get set" -- "$cur"))
            elif ((cword == i + 2)); then
                COMPREPLY=($(compgen -W "ApUse LogPointer LogCount Nifuda BaseYear InstallBasePath CheckSpec
                    ExcurrentVersion EiajFileName KoRFileName FileMove MakeMode DataFilePath PrinterName" -- "$cur"))
            fi
            return
            ;;
        list) options="$formats" ;;
        import) options="$formats --mode --move --no-move --yes" ;;
        print) options="$formats --orderer --supplier --yes" ;;
        ship) options="$formats --issue --yes" ;;
        delete) options="$formats --orderer --supplier --issued-only --yes" ;;
        search) options="$formats --after --orderer --supplier --order-no --key --item --due --scan" ;;
        watch) options="$formats --mode --interval" ;;
        history)
            if [[ $cur != -* ]] && ((cword == i + 1)); then
                COMPREPLY=($(compgen -W "export reprint" -- "$cur"))
                return
            fi
            case ${words[i + 1]} in
                export)
                    if [[ $cur != -* ]]; then
                        _filedir
                        return
                    fi
                    options="$formats --month --orderer --supplier --format --encoding"
                    ;;
                reprint)
                    options="--printer"
                    ;;
                *) options="$formats --from --to --orderer --supplier --key --order-no --item" ;;
            esac
            ;;
        company)
            if [[ $cur != -* ]] && ! [[ " ${words[*]:i+1:cword-i-1} " =~ \ (list|add|change|delete)\  ]]; then
                COMPREPLY=($(compgen -W "list add change delete" -- "$cur"))
                return
            fi
            options="$formats --yes"
            ;;
        help)
            ((cword == i + 1)) && COMPREPLY=($(compgen -W "${commands% help}" -- "$cur"))
            return
            ;;
        *) return ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi
    case $command in
        import | ship) _filedir ;;
        watch) _filedir -d ;;
    esac
} &&
    complete -F _plx90_cli plx90-cli
